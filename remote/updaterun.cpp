#include "remote/updaterun.h"

#include "core/modmain.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "remote/boardlist.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace remote {

namespace {

const QString kRule = QString(100, QLatin1Char('-'));

// A media name a board can store: a plain file name without ":".
bool usableMediaName(const QString& name)
{
    return paths::isPlainFileName(name) && !name.contains(QLatin1Char(':'));
}

enum class MediaSource {
    Found,   // `local` is the file to send
    Missing, // no such file here: nothing to send
    Refused, // the value may not be sent
};

// The local file of a template's background or PiP value. Only a picture or
// a video (by the file-kind table) under a name a board can store is sent,
// and only from the Media folder: a bare name is looked up there, a relative
// path counts from there, an absolute path must lie in it; ".." is refused,
// and so is a file that lies (or whose link points) outside the folder. A
// drive or network path of a Windows machine names no file here, like a
// missing one.
MediaSource findMedia(const QString& value, const QString& mediaFolder, QString& local)
{
    const QString name = paths::fileNameOf(value);
    const QString kind = modMain::GetFileType(name);
    if (!usableMediaName(name) || (kind != QLatin1String("PictureType") && kind != QLatin1String("VideoType")))
        return MediaSource::Refused;
    QString path = value;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.split(QLatin1Char('/')).contains(QLatin1String("..")))
        return MediaSource::Refused;
    static const QRegularExpression windowsPath(QStringLiteral("^([A-Za-z]:|//)"));
    if (windowsPath.match(path).hasMatch())
        return MediaSource::Missing;
    local = path.startsWith(QLatin1Char('/')) ? path : paths::join(mediaFolder, path);
    if (!modMain::blnFileExists(local))
        return MediaSource::Missing;
    return paths::isInside(local, mediaFolder) ? MediaSource::Found : MediaSource::Refused;
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
    if (setup.mode == 1) {
        view_.addMessage(QStringLiteral("Sending Orvane settings file ..."));
        if (uploader_.put(address, setup.settingsFile, remoteSettingsPath()) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished sending Orvane settings file."));
        } else {
            if (cancelled())
                return false;
            view_.addMessage(QStringLiteral("!!!Error sending Orvane settings file."));
            allSent = false;
        }
    }
    if (cancelled())
        return false;
    // A board acts on its command at once ("1" adopts the settings file), so
    // the command goes only after everything else arrived whole; and only
    // when the local confirm file really holds it.
    if (!allSent) {
        view_.addMessage(QStringLiteral("!!!Orvane confirm file not sent: not every file arrived."));
        view_.setBoardResult(row, false);
    } else if (!WriteConfirmFile(setup.confirmFile, command)) {
        view_.addMessage(QStringLiteral("!!!Error sending Orvane confirm file."));
        view_.setBoardResult(row, false);
    } else {
        if (cancelled())
            return false;
        view_.addMessage(QStringLiteral("Sending Orvane confirm file ..."));
        if (uploader_.put(address, setup.confirmFile, remoteConfirmPath()) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished Orvane sending confirm file."));
            view_.setBoardResult(row, true);
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
    QString local;
    switch (findMedia(value, mediaFolder, local)) {
    case MediaSource::Refused:
        view_.addMessage(failed);
        return false;
    case MediaSource::Missing:
        return true;
    case MediaSource::Found:
        break;
    }
    const QString name = paths::fileNameOf(value);
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
