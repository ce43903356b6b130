#include "text/fontpanel.h"

#include "platform/services.h"
#include "platform/vbvalue.h"
#include "text/texteffects.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kSampleWidth = 240;
constexpr int kSampleHeight = 110;
const QColor kSampleBackground(0xF0, 0xF0, 0xF0);

} // namespace

FontPanel::FontPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Font"), parent)
{
    setObjectName(QStringLiteral("fraFont"));
    const QStringList captions{QStringLiteral("Name"),     QStringLiteral("Size"),   QStringLiteral("Fore Color"),
                               QStringLiteral("Style"),    QStringLiteral("Effect"), QStringLiteral("Effect Color"),
                               QStringLiteral("Alignment")};
    for (int i = 0; i < 7; ++i)
        LblFont[i] = new QLabel(captions[i], this);

    CmbFontName = new QComboBox(this);
    CmbFontName->setEditable(true);
    // A typed name or size is used as typed but never joins the lists.
    CmbFontName->setInsertPolicy(QComboBox::NoInsert);
    CmbFontName->addItems(QFontDatabase::families());
    CmbFontName->setEditText(QStringLiteral("Arial"));
    CmbFontName->setToolTip(QStringLiteral("Font Name"));

    CmbFontSize = new QComboBox(this);
    CmbFontSize->setEditable(true);
    CmbFontSize->setInsertPolicy(QComboBox::NoInsert);
    for (int s = 2; s <= 200; s += 2)
        CmbFontSize->addItem(QString::number(s));
    CmbFontSize->setEditText(QStringLiteral("30"));
    CmbFontSize->setToolTip(QStringLiteral("Font Size"));

    LblColor = new QLabel(this);
    LblColor->setFixedSize(40, 18);
    ImageColor = new QToolButton(this);
    ImageColor->setText(QStringLiteral("..."));
    ImageColor->setToolTip(QStringLiteral("Select Color"));
    LblEColor = new QLabel(this);
    LblEColor->setFixedSize(40, 18);
    ImageEColor = new QToolButton(this);
    ImageEColor->setText(QStringLiteral("..."));
    ImageEColor->setToolTip(QStringLiteral("Select Effect Color"));

    const QStringList styles{QStringLiteral("Bold"), QStringLiteral("Italic"), QStringLiteral("Underline"),
                             QStringLiteral("Strikeout")};
    for (int i = 0; i < 4; ++i) {
        CheckStyle[i] = new QCheckBox(styles[i], this);
        connect(CheckStyle[i], &QCheckBox::stateChanged, this, [this, i] { CheckStyle_Click(i); });
        // A grey box that the user clicks becomes an ordinary two-state box.
        connect(CheckStyle[i], &QCheckBox::clicked, this, [this, i] {
            if (CheckStyle[i]->checkState() != Qt::PartiallyChecked)
                CheckStyle[i]->setTristate(false);
        });
    }
    CheckStyle[0]->setChecked(true);
    CheckStyle[3]->setVisible(false);

    const QStringList effects{QStringLiteral("No Effect"), QStringLiteral("Edge"), QStringLiteral("Shadow"),
                              QStringLiteral("3D")};
    m_effects = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        OptEffect[i] = new QRadioButton(effects[i], this);
        m_effects->addButton(OptEffect[i], i);
        connect(OptEffect[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptEffect_Click(i);
        });
    }
    OptEffect[1]->setChecked(true);
    OptEffect[2]->setVisible(false);
    OptEffect[3]->setVisible(false);

    cmbFontAlignment = new QComboBox(this);
    cmbFontAlignment->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center")});
    cmbFontAlignment->setCurrentIndex(0);

    PicFontSample = new QLabel(this);
    PicFontSample->setFixedSize(kSampleWidth, kSampleHeight);
    PicFontSample->setToolTip(QStringLiteral("Font Sample"));

    const QStringList setCaptions{QStringLiteral("Set As Line Font"), QStringLiteral("Set As Record Font"),
                                  QStringLiteral("Set As Page Font"), QStringLiteral("Set As Group Font")};
    const QStringList setTips{QStringLiteral("Set Line Font Style"), QStringLiteral("Set Record Font Style"),
                              QStringLiteral("Set Page Font Style"), QStringLiteral("Set Page Font Style")};
    for (int i = 0; i < 4; ++i) {
        btnFontSet[i] = new QPushButton(setCaptions[i], this);
        btnFontSet[i]->setToolTip(setTips[i]);
        connect(btnFontSet[i], &QPushButton::clicked, this, [this, i] { btnFontSet_Click(i); });
    }
    btnFontCancel = new QPushButton(QStringLiteral("Close"), this);

    connect(CmbFontName, &QComboBox::activated, this, &FontPanel::CmbFontName_Click);
    connect(CmbFontSize, &QComboBox::activated, this, &FontPanel::CmbFontSize_Click);
    connect(ImageColor, &QToolButton::clicked, this, &FontPanel::ImageColor_Click);
    connect(ImageEColor, &QToolButton::clicked, this, &FontPanel::ImageEColor_Click);
    connect(btnFontCancel, &QPushButton::clicked, this, &FontPanel::btnFontCancel_Click);

    auto* grid = new QGridLayout(this);
    grid->addWidget(LblFont[0], 0, 0);
    grid->addWidget(CmbFontName, 0, 1, 1, 3);
    grid->addWidget(LblFont[1], 1, 0);
    grid->addWidget(CmbFontSize, 1, 1);
    grid->addWidget(LblFont[2], 2, 0);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(LblColor);
    colorRow->addWidget(ImageColor);
    colorRow->addStretch();
    grid->addLayout(colorRow, 2, 1);
    grid->addWidget(LblFont[3], 3, 0);
    auto* styleRow = new QHBoxLayout;
    for (QCheckBox* c : CheckStyle)
        styleRow->addWidget(c);
    grid->addLayout(styleRow, 3, 1, 1, 3);
    grid->addWidget(LblFont[4], 4, 0);
    auto* effectRow = new QHBoxLayout;
    for (QRadioButton* r : OptEffect)
        effectRow->addWidget(r);
    grid->addLayout(effectRow, 4, 1, 1, 3);
    grid->addWidget(LblFont[5], 5, 0);
    auto* eColorRow = new QHBoxLayout;
    eColorRow->addWidget(LblEColor);
    eColorRow->addWidget(ImageEColor);
    eColorRow->addStretch();
    grid->addLayout(eColorRow, 5, 1);
    grid->addWidget(LblFont[6], 6, 0);
    grid->addWidget(cmbFontAlignment, 6, 1);
    grid->addWidget(PicFontSample, 7, 0, 1, 4);
    auto* buttons = new QGridLayout;
    for (int i = 0; i < 4; ++i)
        buttons->addWidget(btnFontSet[i], i / 2, i % 2);
    buttons->addWidget(btnFontCancel, 2, 1);
    grid->addLayout(buttons, 8, 0, 1, 4);

    paintColorLabel(LblColor, m_textColor);
    paintColorLabel(LblEColor, m_effectColor);
    setVisible(false);
    m_ready = true;
    ShowFontSample();
}

void FontPanel::paintColorLabel(QLabel* label, uint32_t bgr)
{
    label->setAutoFillBackground(true);
    label->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(vb::ToQColor(bgr).name()));
}

void FontPanel::setTextColor(uint32_t bgr)
{
    m_textColor = bgr & 0xFFFFFFu;
    paintColorLabel(LblColor, m_textColor);
}

void FontPanel::setEffectColor(uint32_t bgr)
{
    m_effectColor = bgr & 0xFFFFFFu;
    paintColorLabel(LblEColor, m_effectColor);
}

int FontPanel::selectedEffect() const
{
    for (int i = 0; i < 4; ++i)
        if (OptEffect[i]->isChecked())
            return i;
    return -1;
}

void FontPanel::selectEffect(int index)
{
    if (index >= 0 && index < 4) {
        OptEffect[index]->setChecked(true);
        return;
    }
    m_effects->setExclusive(false);
    for (QRadioButton* r : OptEffect)
        r->setChecked(false);
    m_effects->setExclusive(true);
}

void FontPanel::setStyleState(int index, int state)
{
    QCheckBox* box = CheckStyle[index];
    if (state == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setCheckState(state == 1 ? Qt::Checked : Qt::Unchecked);
        box->setTristate(false);
    }
}

FontDescriptor FontPanel::panelDescriptor() const
{
    FontDescriptor d;
    d.FontName = CmbFontName->currentText();
    d.FontSize = CmbFontSize->currentText();
    d.FontColor = m_textColor;
    const auto state = [](const QCheckBox* c) {
        switch (c->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
        }
    };
    d.Bold = state(CheckStyle[0]);
    d.Italic = state(CheckStyle[1]);
    d.Underline = state(CheckStyle[2]);
    d.Strikeout = state(CheckStyle[3]);
    d.Effect = selectedEffect();
    d.EffectColor = m_effectColor;
    return d;
}

QString* FontPanel::descriptorOf(int group, int line) const
{
    if (group >= 0 && group <= 5 && line >= 0 && line <= 11)
        return m_template.lines ? &(*m_template.lines)[group][3][line] : nullptr;
    switch (group) {
    case kTitleGroup:
        return m_template.titleFont;
    case kDateGroup:
        return m_template.dateFont;
    case kTimeGroup:
        return m_template.timeFont;
    default:
        return nullptr;
    }
}

void FontPanel::LoadFontPanel(int group, int line)
{
    if (group >= 0 && group <= 9)
        setTitle(QStringLiteral("Font: ") + (m_hooks.lineCaption ? m_hooks.lineCaption(group, line) : QString()));
    else if (group >= kTitleGroup && group <= kTimeGroup)
        setTitle(QStringLiteral("Font: ") + QStringList{QStringLiteral("Title"), QStringLiteral("Date"),
                                                        QStringLiteral("Time")}[group - kTitleGroup]);

    const QString* source = descriptorOf(group, line);
    if (!source)
        return;
    FontDescriptor d = panelDescriptor();
    if (!d.read(*source))
        return;

    CmbFontName->setEditText(d.FontName);
    CmbFontSize->setEditText(d.FontSize);
    setTextColor(d.FontColor);
    setStyleState(0, d.Bold);
    setStyleState(1, d.Italic);
    setStyleState(2, d.Underline);
    setStyleState(3, d.Strikeout);
    selectEffect(d.Effect);
    setEffectColor(d.EffectColor);

    int alignment = 0;
    if (group >= kTitleGroup)
        alignment = m_hooks.elementAlignment ? m_hooks.elementAlignment(group - kTitleGroup) : 0;
    else
        alignment = m_hooks.lineAlignment ? m_hooks.lineAlignment(group, line) : 0;
    cmbFontAlignment->setCurrentIndex(std::clamp(alignment, 0, 2));
    ShowFontSample();
}

void FontPanel::ApplyFontToLine(int group, int line)
{
    if (line < 0)
        return;
    const QString descriptor = panelDescriptor().toString();
    const int alignment = std::max(cmbFontAlignment->currentIndex(), 0);
    const QString alignText = QString::number(alignment);

    if (group >= kTitleGroup && group <= kTimeGroup) {
        const int element = group - kTitleGroup;
        QString* font[] = {m_template.titleFont, m_template.dateFont, m_template.timeFont};
        QString* align[] = {m_template.titleAlign, m_template.dateAlign, m_template.timeAlign};
        if (!font[element])
            return;
        *font[element] = descriptor;
        if (m_hooks.setElementAlignment)
            m_hooks.setElementAlignment(element, alignment);
        if (align[element])
            *align[element] = alignText;
        if (m_hooks.applyTDTLabelSettings)
            m_hooks.applyTDTLabelSettings(element);
        return;
    }
    if (group < 0 || group > 5 || line > 11 || !m_template.lines)
        return;
    (*m_template.lines)[group][3][line] = descriptor;
    if (m_hooks.setLineAlignment)
        m_hooks.setLineAlignment(group, line, alignment);
    (*m_template.lines)[group][1][line] = alignText;
}

void FontPanel::ApplyFontCurrentRecord()
{
    BusyGuard busy;
    const int group = m_hooks.selectedGroup ? m_hooks.selectedGroup() : 0;
    for (int l = 0; l < 12; ++l)
        ApplyFontToLine(group, l);
}

void FontPanel::ApplyFontAllRecords()
{
    BusyGuard busy;
    for (int r = 0; r < 6; ++r)
        for (int l = 0; l < 12; ++l)
            ApplyFontToLine(r, l);
}

void FontPanel::ApplyLineFontAllRecords(int line)
{
    BusyGuard busy;
    const QString rpp = m_hooks.recordsPerPageText ? m_hooks.recordsPerPageText() : QString();
    // The table holds six records whatever the text says.
    const int last = std::min(vb::CInt(vb::Val(rpp)) - 1, 5);
    for (int r = 0; r <= last; ++r)
        ApplyFontToLine(r, line);
}

void FontPanel::ShowFontSample()
{
    if (!m_ready)
        return;
    if (m_sample.isNull())
        m_sample = QImage(kSampleWidth, kSampleHeight, QImage::Format_RGB32);
    paintAATextToPicBox(m_sample, 4, 4, panelDescriptor(), kSampleBackground);
    PicFontSample->setPixmap(QPixmap::fromImage(m_sample));
}

void FontPanel::btnLayout_Click(int Index)
{
    btnFontSet[0]->setText(QStringLiteral("Set Font"));
    for (int i = 1; i < 4; ++i)
        btnFontSet[i]->setVisible(false);
    raise();
    setVisible(true);
    if (m_hooks.setSelectedGroup)
        m_hooks.setSelectedGroup(Index + kTitleGroup);
    LoadFontPanel(Index + kTitleGroup, Index);
}

void FontPanel::btnLineFormat_Click(int Index)
{
    btnFontSet[0]->setText(QStringLiteral("Set As Line Font"));
    for (int i = 1; i < 4; ++i)
        btnFontSet[i]->setVisible(true);
    raise();
    setVisible(true);
    LoadFontPanel(m_hooks.selectedGroup ? m_hooks.selectedGroup() : 0, Index);
}

void FontPanel::btnFontSet_Click(int Index)
{
    mintFontPanelMode = Index;
    ShowFontSample();
    const int group = m_hooks.selectedGroup ? m_hooks.selectedGroup() : 0;
    const int line = m_hooks.selectedLine ? m_hooks.selectedLine() : 0;
    const double rpp = vb::Val(m_hooks.recordsPerPageText ? m_hooks.recordsPerPageText() : QString());
    switch (Index) {
    case 0:
        if (line >= 0 && group >= 0)
            ApplyFontToLine(group, line);
        break;
    case 1:
        if (rpp < 0)
            services::message(QStringLiteral("Please select a record to apply the Font Style."));
        else
            ApplyFontCurrentRecord();
        break;
    case 2:
        ApplyFontAllRecords();
        break;
    case 3:
        if (rpp <= 0)
            services::message(QStringLiteral("Please select a template with lines to apply the Font Style."));
        else
            ApplyLineFontAllRecords(line);
        break;
    default:
        break;
    }
    setVisible(false);
}

void FontPanel::btnFontCancel_Click()
{
    setVisible(false);
}

void FontPanel::CheckStyle_Click(int)
{
    ShowFontSample();
}

void FontPanel::OptEffect_Click(int)
{
    ShowFontSample();
}

void FontPanel::CmbFontName_Click()
{
    ShowFontSample();
}

void FontPanel::CmbFontSize_Click()
{
    ShowFontSample();
}

void FontPanel::ImageColor_Click()
{
    QColor chosen;
    if (!services::colors().choose(vb::ToQColor(m_textColor), chosen))
        return;
    setTextColor(vb::FromQColor(chosen));
    ShowFontSample();
}

void FontPanel::ImageEColor_Click()
{
    QColor chosen;
    if (!services::colors().choose(vb::ToQColor(m_effectColor), chosen))
        return;
    setEffectColor(vb::FromQColor(chosen));
    ShowFontSample();
}
