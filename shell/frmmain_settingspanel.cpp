// The handlers of the settings panel's inputs: retrieval choice, dwell time
// and its spinner, the ID lookup picker, the sort lists, the validity
// switch, the record and records-per-page spinners, and the template view's
// screen, background, page image, PiP and page-element inputs.
#include "shell/frmmain.h"
#include "shell/frmmain_widgets.h"

#include "core/datagrids.h"
#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "shell/settings/screenlists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

using namespace frmmainwidgets;

namespace {

const QString kMediaFilter =
    QStringLiteral("Image Files(*.bmp;*.jpg;*.png;*.gif)|*.bmp;*.jpg;*.png;*.gif|"
                   "Video Files (*.avi; *.mpeg; *.mpg; *.m1v; *.mp2; *.vob; *.mpa; *.wmv; *.mp4)|"
                   "*.avi; *.mpeg; *.mpg; *.m1v; *.mp2; *.vob; *.mpa; *.wmv; *.mp4|");
const QString kVideoFilter =
    QStringLiteral("Video Files (*.avi; *.mpeg; *.mpg; *.m1v; *.mp2; *.vob; *.mpa; *.wmv; *.mp4)|"
                   "*.avi; *.mpeg; *.mpg; *.m1v; *.mp2; *.vob; *.mpa; *.wmv; *.mp4|");
const QString kImageFileFilter =
    QStringLiteral("PNG Files (*.png)|*.png|BMP Files (*.bmp)|*.bmp|JPEG Files (*.jpg)|*.jpg");
const QString kIDLookupFilter = QStringLiteral("EBMS ID Look Up Files|*.TXT");

// The date (1) or time (2) label follows its check box: checking it shows
// the first format applied to now, clearing it empties the label.
void showClockLabel(ShellNeighbours& neighbours, QCheckBox* check, QComboBox* formats, int label)
{
    neighbours.HideSelectionFrame();
    const Qt::CheckState state = check->checkState();
    if (state == Qt::Unchecked) {
        neighbours.setTDTLabelCaption(label, QString());
    } else if (state == Qt::Checked) {
        formats->setCurrentIndex(0);
        neighbours.setTDTLabelCaption(label,
                                      vb::FormatDateTime(services::clock().now(), formats->currentText().trimmed()));
    }
    neighbours.setTDTLabelVisible(label, state != Qt::Unchecked);
}

// The folder part of a stored path: the text before its last "\" or "/".
QString folderOf(const QString& path)
{
    const qsizetype at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return at < 0 ? path : path.left(at);
}

bool sameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// A spinner used upside down: its box shows Max - Value + 1.
int upsideDown(const QScrollBar* s)
{
    return s->maximum() - s->value() + 1;
}

} // namespace

// ---- Data and run inputs ----

void frmMain::optRunSettings_Click(int Index)
{
    if (Index != 0 && Index != 1)
        return;
    fraRunSettings[0]->setVisible(Index == 0);
    fraRunSettings[1]->setVisible(Index == 1);
    gstrRetrieveType = QString::number(Index);
}

void frmMain::txtDwellTime_Change()
{
    gstrDwellTime = txtDwellTime->text().trimmed();
}

void frmMain::txtDwellTime_KeyPress(int& KeyAscii)
{
    // Digits go in; editing keys (Backspace, Delete and the other control
    // keys) keep working; any other character is refused.
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    const bool editing = KeyAscii < 32 || KeyAscii == 127;
    if (!digit && !editing)
        KeyAscii = 1;
}

void frmMain::vsDwellTime_Change()
{
    // The spinner steps from the number in the box: up adds one second,
    // down takes one away, within 1 .. 999. It then goes back to rest.
    const int step = kDwellSpinnerRest - vsDwellTime->value();
    if (step == 0)
        return;
    const int64_t current = vb::RoundWhole(vb::Val(txtDwellTime->text()));
    const int64_t next = std::clamp<int64_t>(current + step, 1, kMaxDwellTime);
    {
        const QSignalBlocker block(vsDwellTime);
        vsDwellTime->setValue(kDwellSpinnerRest);
    }
    txtDwellTime->setText(QString::number(next));
}

void frmMain::btnEBMSIDLookupBrowser_Click()
{
    if (BusyGuard::active())
        return;
    BusyGuard busy;
    QString path;
    if (!services::files().chooseOpen(QStringLiteral("Select a file"), gstrDataFolder.trimmed(), kIDLookupFilter, path))
        return;
    // The full path is kept: the dialog does not change the current folder.
    txtEBMSIDLookupFile->setText(path);
    txtEBMSIDLookupFilename->setText(paths::fileNameOf(path));
    gstrIDLookupDataFile = path.trimmed();
    loaders.loadIDLookupFile(dataGrids().igIDLookup, gstrIDLookupDataFile);
}

void frmMain::cboSortSelection_Click()
{
    const int index = cboSortSelection->currentIndex();
    if (index == 0) {
        cboSortGroup->setCurrentIndex(-1);
        cboSortLine->setCurrentIndex(-1);
    }
    if ((index == 1 || index == 2) && (cboSortLine->currentText().isEmpty() || cboSortGroup->currentText().isEmpty())) {
        cboSortGroup->setCurrentIndex(0);
        cboSortLine->setCurrentIndex(0);
    }
}

// These lists are chosen from their drop-down only.
void frmMain::cboRotation_KeyPress(int& KeyAscii)
{
    KeyAscii = 1;
}

void frmMain::cboSortGroup_KeyPress(int& KeyAscii)
{
    KeyAscii = 1;
}

void frmMain::cboSortLine_KeyPress(int& KeyAscii)
{
    KeyAscii = 1;
}

void frmMain::cboSortSelection_KeyPress(int& KeyAscii)
{
    KeyAscii = 1;
}

void frmMain::cboTemplateSelection_KeyPress(int& KeyAscii)
{
    KeyAscii = 1;
}

void frmMain::chkDayTimeValidation_Click()
{
    const bool on = chkDayTimeValidation->checkState() == Qt::Checked;
    for (QLineEdit* box : {txtValidStartTime, txtValidEndTime, txtValidStartDays, txtValidEndDays})
        box->setEnabled(on);
}

void frmMain::vsRecord_Change()
{
    txtRecord->setText(QString::number(upsideDown(vsRecord)));
    ShowRecordInLines(int(vb::RoundWhole(vb::Val(txtRecord->text()))));
}

void frmMain::ShowRecordInLines(int row)
{
    Grid& igRDM = dataGrids().igRDM;
    if (igRDM.RowCount() == 0 || row < 1 || row > igRDM.RowCount())
        return;
    if (mlngRDMRow >= 1 && mlngRDMRow <= igRDM.RowCount() && mlngRDMRow != row)
        igRDM.SetCellSelected(mlngRDMRow, 1, false);
    // The record's lines with its validity window, never the lines alone:
    // an Update writes both back into the record.
    neighbours.showRecordInEditor(row);
    igRDM.SetCellSelected(row, 1, true);
    mlngRDMRow = row;
    neighbours.DisableLineRows();
}

void frmMain::vsRecordsPerPage_Change()
{
    const int n = std::clamp(upsideDown(vsRecordsPerPage), 1, 6);
    txtRecordsPerPage->setText(QString::number(n));
    // The records beyond the new count are switched off; record n - 1 is
    // the one being edited.
    for (int record = 5; record >= n; --record)
        neighbours.SelectTemplateRecord(record);
    neighbours.ApplyTemplateRecord(n - 1);
}

// ---- Screen ----

void frmMain::optLayout_Click(int)
{
    neighbours.HideSelectionFrame();
    FillResolutionList(screenlists::kDefaultResolutionIndex);
    neighbours.PositionGuideLines();
}

void frmMain::FillResolutionList(int index)
{
    {
        const QSignalBlocker block(cboResolution);
        cboResolution->clear();
        cboResolution->addItems(screenlists::resolutionList(!optLayout[0]->isChecked()));
        cboResolution->setCurrentIndex(-1);
    }
    cboResolution->setCurrentIndex(index);
    {
        const QSignalBlocker block(cboRotation);
        cboRotation->clear();
        cboRotation->addItems(screenlists::rotationList());
        cboRotation->setCurrentIndex(-1);
    }
    cboRotation->setCurrentIndex(0);
}

void frmMain::cboResolution_Click()
{
    const screenlists::Resolution r = screenlists::parseResolution(cboResolution->currentText());
    mResolutionValue1 = r.width;
    mResolutionValue2 = r.height;
    gstrScreenWidth = QString::number(r.width);
    gstrScreenHeight = QString::number(r.height);
    neighbours.loadDefaultTemplateLayout(cboTemplateSelection->currentIndex() - 1);
}

void frmMain::cboRotation_Click()
{
    gstrRotation = cboRotation->currentText().trimmed();
}

// ---- Background ----

void frmMain::optBackgroundType_Click(int Index)
{
    const bool media = Index == 1;
    setInputOpen(lblBackgroundColor, !media);
    setInputOpen(txtBackgroundColor, !media);
    if (media)
        txtBackgroundColor->setText(QStringLiteral("&H000000"));
    btnBackgroundColor->setEnabled(!media);
    for (QWidget* w : std::initializer_list<QWidget*>{lblBackgroundImage, txtBackgroundImage, txtBackgroundImagename})
        setInputOpen(w, media);
    if (!media) {
        txtBackgroundImage->clear();
        txtBackgroundImagename->clear();
    }
    btnBackgroundImageBrowser->setEnabled(media);
}

void frmMain::btnBackgroundColor_Click()
{
    QColor chosen;
    const QColor initial = vb::ToQColor(vb::ParseColorText(txtBackgroundColor->text()));
    if (!services::colors().choose(initial, chosen))
        return;
    txtBackgroundColor->setText(screenlists::backgroundColorText(vb::FromQColor(chosen)));
    setBackgroundColor(txtBackgroundColor->text());
}

void frmMain::setBackgroundColor(const QString& colorText)
{
    neighbours.setPreviewBackground(vb::ParseColorText(colorText.trimmed()), QImage());
}

void frmMain::btnBackgroundImageBrowser_Click()
{
    if (BusyGuard::active())
        return;
    BusyGuard busy;
    QString path;
    if (!services::files().chooseSave(QStringLiteral("Select An Image"), gstrMediaFolder.trimmed(), kMediaFilter,
                                      QString(), false, path))
        return;
    txtBackgroundImagename->setText(path);
    loadBackgroundFile(txtBackgroundImagename->text());
}

void frmMain::loadBackgroundFile(const QString& file)
{
    neighbours.setPreviewBackground(0, QImage());
    const QString kind = modMain::GetFileType(file);
    if (kind == QLatin1String("VideoType")) {
        QCoreApplication::processEvents(); // the run cycle plays the video itself
        return;
    }
    if (kind != QLatin1String("PictureType"))
        return;

    // A bare name lies in the Media folder; a path from another machine is
    // looked for in the Media folder once, then given up without a message.
    QString path = file.trimmed();
    if (!path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\')))
        path = paths::join(gstrMediaFolder, path);
    if (!modMain::blnFileExists(path)) {
        if (sameFolder(folderOf(path), gstrMediaFolder))
            return;
        path = paths::join(gstrMediaFolder, paths::fileNameOf(path));
        if (!modMain::blnFileExists(path))
            return;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        statusMessage(QStringLiteral("!!!Error loading the Background file."));
        return;
    }
    neighbours.setPreviewBackground(0, picture);
}

void frmMain::txtBackgroundImagename_Change()
{
    if (modMain::GetFileType(txtBackgroundImagename->text()) == QLatin1String("VideoType")) {
        QWidget* page = lblBGVideo->parentWidget();
        lblBGVideo->adjustSize();
        if (page)
            lblBGVideo->move(page->width() / 2 - lblBGVideo->width() / 2, 0);
        lblBGVideo->show();
    } else {
        lblBGVideo->hide();
    }
}

// ---- Page image and PiP ----

void frmMain::btnImgBrowser_Click()
{
    if (BusyGuard::active())
        return;
    QString path;
    if (!services::files().chooseSave(QStringLiteral("Save Image As"), gstrMediaFolder, kImageFileFilter, QString(),
                                      false, path))
        return;
    const QString name = paths::fileNameOf(path).trimmed();
    if (!paths::isPlainFileName(name)) {
        statusMessage(QStringLiteral("!!!\"%1\" names no image file.").arg(path));
        return;
    }
    txtImageFile->setText(path);
    txtImageFilename->setText(paths::fileNameOf(path));
    gstrImageFile = name;
}

void frmMain::btnPiPBrowser_Click()
{
    if (BusyGuard::active())
        return;
    BusyGuard busy;
    QString path;
    if (!services::files().chooseSave(QStringLiteral("Select A Video"), gstrMediaFolder.trimmed(), kVideoFilter,
                                      QString(), false, path))
        return;
    const QString name = paths::fileNameOf(path).trimmed();
    if (!paths::isPlainFileName(name))
        return;
    txtPiP->setText(name);
    // The run cycle plays PiP videos from the Media folder.
    const QString target = paths::join(gstrMediaFolder.trimmed(), name);
    if (!sameFolder(folderOf(path), gstrMediaFolder)) {
        QString error;
        if (!atomicfile::copy(path, target, &error)) {
            services::message(error, MsgIcon::Exclamation);
            return;
        }
    }
    QCoreApplication::processEvents();
    txtPiP->setText(target);
}

// ---- Page elements ----

void frmMain::chkTitle_Click()
{
    neighbours.HideSelectionFrame();
    const Qt::CheckState state = chkTitle->checkState();
    if (state == Qt::Unchecked) {
        txtTitle->clear();
        neighbours.setTDTLabelCaption(0, QString());
    } else if (state == Qt::Checked) {
        neighbours.applyTDTLabelSettings(0);
    }
    neighbours.setTDTLabelVisible(0, state != Qt::Unchecked);
}

void frmMain::chkDateFormat_Click()
{
    showClockLabel(neighbours, chkDateFormat, cboDateFormat, 1);
}

void frmMain::chkTimeFormat_Click()
{
    showClockLabel(neighbours, chkTimeFormat, cboTimeFormat, 2);
}

void frmMain::chkPiP_Click()
{
    neighbours.HideSelectionFrame();
    const Qt::CheckState state = chkPiP->checkState();
    if (state == Qt::Unchecked) {
        txtPiP->clear();
        neighbours.setTDTLabelCaption(3, QStringLiteral("PiP Windows"));
    } else if (state == Qt::Checked) {
        neighbours.applyTDTLabelSettings(3);
    }
    neighbours.setTDTLabelVisible(3, state != Qt::Unchecked);
}

void frmMain::optGroup_Click(int Index)
{
    BusyGuard busy;
    const int records = int(std::clamp<int64_t>(vb::RoundWhole(vb::Val(txtRecordsPerPage->text())), 0, 6));
    int line = -1;
    if (Index == 99)
        line = 99;
    else if (Index >= 0 && Index <= 11 && optGroup.count(Index) && optGroup.at(Index)->isChecked())
        line = Index;
    neighbours.applyGroupLine(records, line);
}
