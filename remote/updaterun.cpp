#include "remote/updaterun.h"

#include "core/modmain.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "remote/boardlist.h"

#include <QDir>
#include <QFileInfo>

namespace remote {

namespace {

const QString kRule = QString(100, QLatin1Char('-'));

// A media name a board can store: a plain file name without ":".
bool usableMediaName(const QString& name)
{
    return paths::isPlainFileName(name) && !name.contains(QLatin1Char(':'));
}

} // namespace

QString remoteTemplatePath(int slot)
{
    return QStringLiteral("Orvane/Data/") + slotTemplateName(slot) + QStringLiteral(".ORVT");
}

QString remoteMediaPath(const QString& fileName)
{
    return QStringLiteral("Orvane/Media/") + fileName;
}

const QString& remoteSettingsPath()
{
    static const QString path = QStringLiteral("Orvane/UpdatedSettings.ini");
    return path;
}

const QString& remoteConfirmPath()
{
    static const QString path = QStringLiteral("Orvane/OrvaneConfirm.txt");
    return path;
}

UpdateRun::UpdateRun(Uploader& uploader, RunView& view, const std::atomic<bool>& cancel)
    : uploader_(uploader)
    , view_(view)
    , cancel_(cancel)
{
}

bool UpdateRun::WriteConfirmFile(const QString& path, const QString& command)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!textfile::writeLines(path, {command}))
        return false;
    QStringList lines;
    return textfile::readLines(path, lines) && lines.size() == 1 && lines.first() == command;
}

RunEnd UpdateRun::run(const RunSetup& setup)
{
    const int count = int(setup.addresses.size());
    for (int row = 0; row < count; ++row) {
        if (cancelled() || !updateBoard(setup, row))
            return RunEnd::Cancelled;
    }
    return RunEnd::Done;
}

bool UpdateRun::updateBoard(const RunSetup& setup, int row)
{
    const QString address = setup.addresses[row].trimmed();
    view_.setStatusLine(QStringLiteral("Updating Orvane settings to ") + address);
    view_.addMessage(kRule);
    view_.addMessage(QStringLiteral("Starting sending process."));
    view_.addMessage(kRule);
    if (!isBoardAddress(address) || !uploader_.probe(address)) {
        if (cancelled())
            return false;
        view_.addMessage(QStringLiteral("*** Could not connect to ") + address + QLatin1Char('.'));
        view_.setBoardResult(row, false);
        return true;
    }
    if (cancelled())
        return false;

    bool allSent = true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (cancelled())
            return false;
        allSent = sendSlot(setup, slot, address) && allSent;
    }

    const QString command = setup.mode == 1 ? QStringLiteral("1") : QStringLiteral("2");
    bool settingsSent = true;
    if (setup.mode == 1) {
        view_.addMessage(QStringLiteral("Sending Orvane settings file ..."));
        if (uploader_.put(address, setup.settingsFile, remoteSettingsPath()) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished sending Orvane settings file."));
        } else {
            if (cancelled())
                return false;
            view_.addMessage(QStringLiteral("!!!Error sending Orvane settings file."));
            settingsSent = false;
        }
    }
    if (cancelled())
        return false;
    // The board adopts the settings on "1", so "1" goes only after a
    // complete settings file; and nothing goes unless the local confirm
    // file really holds the command.
    const bool confirmReady = settingsSent && WriteConfirmFile(setup.confirmFile, command);
    if (cancelled())
        return false;
    if (!confirmReady) {
        view_.addMessage(QStringLiteral("!!!Error sending Orvane confirm file."));
        view_.setBoardResult(row, false);
    } else {
        view_.addMessage(QStringLiteral("Sending Orvane confirm file ..."));
        if (uploader_.put(address, setup.confirmFile, remoteConfirmPath()) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished Orvane sending confirm file."));
            view_.setBoardResult(row, allSent);
        } else if (!cancelled()) {
            view_.addMessage(QStringLiteral("!!!Error sending Orvane confirm file."));
            view_.setBoardResult(row, false);
        }
    }
    view_.addMessage(kRule);
    view_.addMessage(QStringLiteral("Finished sending process."));
    view_.addMessage(kRule);
    view_.setStatusLine(QStringLiteral("Finished updating settings to ") + address);
    return true;
}

bool UpdateRun::sendSlot(const RunSetup& setup, int slot, const QString& address)
{
    const QString local = setup.slots[slot].trimmed();
    bool ok = true;
    if (modMain::blnFileExists(local)) {
        view_.addMessage(QStringLiteral("Sending template file: ") + paths::fileNameOf(local));
        if (setup.wrongTemplate[slot]) {
            // Refused here, not a failed transfer: the board's icon stays
            // with the outcome of what was sent.
            view_.addMessage(
                QStringLiteral("!!!This is a wrong template file to send, will go to next template file."));
            return true;
        }
        if (uploader_.put(address, local, remoteTemplatePath(slot)) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished sending template file."));
        } else {
            ok = false;
            if (!cancelled())
                view_.addMessage(QStringLiteral("!!!Error sending template file."));
        }
    }
    if (cancelled())
        return ok;
    const IniFile tpl(local);
    const QString image = tpl.value(QStringLiteral("BACKGROUND"), QStringLiteral("Image File")).trimmed();
    if (!image.isEmpty())
        ok = sendMedia(image, setup.mediaFolder, address, true) && ok;
    const QString pip = tpl.value(QStringLiteral("BACKGROUND"), QStringLiteral("PiP Windows")).trimmed();
    if (!pip.isEmpty() && !cancelled()) {
        const QString media = pip.section(QLatin1Char('`'), 1, 1).trimmed();
        if (!media.isEmpty())
            ok = sendMedia(media, setup.mediaFolder, address, false) && ok;
    }
    return ok;
}

bool UpdateRun::sendMedia(const QString& value, const QString& mediaFolder, const QString& address, bool background)
{
    const QString failed = background ? QStringLiteral("!!!Error sending template background media file.")
                                      : QStringLiteral("!!!Error sending template background image file.");
    const QString name = paths::fileNameOf(value);
    if (!usableMediaName(name)) {
        view_.addMessage(failed);
        return false;
    }
    const bool hasFolder = value.contains(QLatin1Char('\\')) || value.contains(QLatin1Char('/'));
    QString local = hasFolder ? value : mediaFolder + QLatin1Char('/') + name;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!modMain::blnFileExists(local))
        return true;
    view_.addMessage((background ? QStringLiteral("Sending template background media file: ")
                                 : QStringLiteral("Sending image file: ")) +
                     name);
    const TransferStatus status = uploader_.put(address, local, remoteMediaPath(name));
    if (status == TransferStatus::Completed) {
        view_.addMessage(background ? QStringLiteral("Finished sending template background media file.")
                                    : QStringLiteral("Finished sending template background image file."));
        return true;
    }
    if (background && status == TransferStatus::FileInUsed) {
        view_.addMessage(QStringLiteral("Background media file is playing."));
        return true;
    }
    if (!cancelled())
        view_.addMessage(failed);
    // A media file in use counts as delivered: the board already shows it.
    return status == TransferStatus::FileInUsed;
}

TransferStatus UpdateRun::restart(const QString& address, const QString& confirmFile)
{
    if (!WriteConfirmFile(confirmFile, QStringLiteral("2")))
        return TransferStatus::Ready;
    return uploader_.put(address, confirmFile, remoteConfirmPath());
}

} // namespace remote
