#include "remote/updaterun.h"

#include "core/modmain.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "remote/boardlist.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

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
    Refused, // the value may not be sent: `cause` says why
};

const QString kOutside = QStringLiteral("outside the Media folder");
const QString kNoConfirmFile = QStringLiteral("the local confirm file could not be written");
const QString kNoneReplaced = QStringLiteral("!!!No file was replaced: the board keeps its old files.");
const QString kNotRegular = QStringLiteral("not a regular file (a device or a named pipe)");

// True when `path`, read as written (links not followed), lies in `folder`.
bool writtenInside(const QString& path, const QString& folder)
{
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return p.startsWith(f + QLatin1Char('/'));
}

// The local file of a template's background or PiP value. Only a picture or
// a video (by the file-kind table) under a name a board can store is sent,
// and only from the Media folder: a bare name is looked up there, a relative
// path counts from there, an absolute path must lie in it; ".." is refused,
// and so is a file that lies (or whose link points) outside the folder, and
// anything but a regular file (a device, a named pipe). A drive or network
// path of a Windows machine names no file here, like a missing one.
MediaSource findMedia(const QString& value, const QString& mediaFolder, QString& local, QString& cause)
{
    const QString name = paths::fileNameOf(value);
    if (name == QLatin1String(".") || name == QLatin1String("..")) {
        cause = kOutside;
        return MediaSource::Refused;
    }
    if (!usableMediaName(name)) {
        cause = QStringLiteral("\"%1\" is no file name a board can store").arg(name);
        return MediaSource::Refused;
    }
    const QString kind = modMain::GetFileType(name);
    if (kind != QLatin1String("PictureType") && kind != QLatin1String("VideoType")) {
        cause = name + QStringLiteral(" is not a picture or video");
        return MediaSource::Refused;
    }
    QString path = value;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.split(QLatin1Char('/')).contains(QLatin1String(".."))) {
        cause = kOutside;
        return MediaSource::Refused;
    }
    static const QRegularExpression windowsPath(QStringLiteral("^([A-Za-z]:|//)"));
    if (windowsPath.match(path).hasMatch())
        return MediaSource::Missing;
    local = path.startsWith(QLatin1Char('/')) ? path : paths::join(mediaFolder, path);
    const QFileInfo info(local);
    if (!info.exists() || info.isDir() || (info.isFile() && !modMain::blnFileExists(local)))
        return MediaSource::Missing;
    if (!paths::isInside(local, mediaFolder)) {
        cause =
            writtenInside(local, mediaFolder) ? QStringLiteral("a symbolic link out of the Media folder") : kOutside;
        return MediaSource::Refused;
    }
    if (!info.isFile()) {
        cause = kNotRegular;
        return MediaSource::Refused;
    }
    return MediaSource::Found;
}

QString failureLine(int part)
{
    static const QString lines[] = {
        QStringLiteral("!!!Error sending template background media file."),
        QStringLiteral("!!!Error sending template background image file."),
        QStringLiteral("!!!Error sending template file."),
        QStringLiteral("!!!Error sending Orvane settings file."),
    };
    return lines[part];
}

QString causeLine(const QString& cause)
{
    return QStringLiteral("!!!Cause: ") + (cause.isEmpty() ? QStringLiteral("unknown") : cause) + QLatin1Char('.');
}

// The cause for a local confirm file that could not be written, with the
// reason as part of the sentence.
QString noConfirmFile(const QString& reason)
{
    const QString why = modMain::inSentence(reason);
    return why.isEmpty() ? kNoConfirmFile : kNoConfirmFile + QStringLiteral(": ") + why;
}

// A remote path as the board's program folder names it.
QString boardName(const QString& remote)
{
    const QString prefix = QStringLiteral("Orvane/");
    return remote.startsWith(prefix) ? remote.mid(prefix.size()) : remote;
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

bool UpdateRun::WriteConfirmFile(const QString& path, const QString& command, QString* error)
{
    QString unused;
    QString& why = error ? *error : unused;
    why.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QStringList lines;
    if (!textfile::writeLines(path, {command}, &why) || !textfile::readLines(path, lines, &why))
        return false;
    if (lines.size() != 1 || lines.first() != command) {
        why = QStringLiteral("\"%1\" does not hold what was written").arg(path);
        return false;
    }
    return true;
}

RunEnd UpdateRun::run(const RunSetup& setup)
{
    const int count = view_.boardCount();
    for (int row = 0; row < count; ++row) {
        if (cancelled())
            return RunEnd::Cancelled;
        // The address as the row holds it now: the admin may have corrected
        // or removed the row while the boards before it were sent to.
        const std::optional<QString> address = view_.boardAddress(row);
        if (address && !updateBoard(setup, row, address->trimmed()))
            return RunEnd::Cancelled;
    }
    return RunEnd::Done;
}

bool UpdateRun::updateBoard(const RunSetup& setup, int row, const QString& address)
{
    view_.setStatusLine(QStringLiteral("Updating Orvane settings to ") + address);
    view_.addMessage(kRule);
    view_.addMessage(QStringLiteral("Starting sending process."));
    view_.addMessage(kRule);
    const bool usable = isBoardAddress(address);
    if (!usable || !uploader_.probe(address)) {
        if (cancelled())
            return false;
        view_.addMessage(QStringLiteral("*** Could not connect to ") + address + QLatin1Char('.'));
        // Why, when the upload layer knows (a refused login, no answer); a
        // line that could only say "unknown" under each of a thousand boards
        // switched off would tell nothing.
        const QString cause = usable ? uploader_.lastCause() : unusableAddressCause();
        if (!cause.isEmpty())
            view_.addMessage(causeLine(cause));
        view_.setBoardResult(row, address, false);
        return true;
    }
    if (cancelled())
        return false;

    staged_.clear();
    leftovers_.clear();
    placed_.clear();
    allSent_ = true;
    if (!sendFiles(setup, address) || cancelled()) {
        discardStaged(address);
        return false;
    }
    // A board acts on its command at once ("1" adopts the settings file),
    // and reads templates from disk for every page: nothing goes into place
    // unless everything arrived whole, and the command goes only after
    // everything is in place. The local confirm file is written (and read
    // back) before the renames, so that a fault here never leaves a board
    // with new files and no command. Once the renames have begun the board
    // is finished, cancel or not: its new files need their command, and the
    // lines and the icon say how it went. The run stops after it.
    const QString command = setup.mode == 1 ? QStringLiteral("1") : QStringLiteral("2");
    QString why;
    const bool confirmed = allSent_ && WriteConfirmFile(setup.confirmFile, command, &why);
    const Placing placed = confirmed ? putInPlace(address) : Placing::Failed;
    if (placed == Placing::Cancelled)
        return false;
    if (!allSent_) {
        view_.addMessage(QStringLiteral("!!!Orvane confirm file not sent: not every file arrived."));
        view_.addMessage(kNoneReplaced);
        discardStaged(address);
        view_.setBoardResult(row, address, false);
    } else if (!confirmed) {
        view_.addMessage(QStringLiteral("!!!Error sending Orvane confirm file."));
        view_.addMessage(causeLine(noConfirmFile(why)));
        view_.addMessage(kNoneReplaced);
        discardStaged(address);
        view_.setBoardResult(row, address, false);
    } else if (placed == Placing::Failed) {
        view_.setBoardResult(row, address, false);
    } else {
        view_.addMessage(QStringLiteral("Sending Orvane confirm file ..."));
        if (uploader_.putCommand(address, setup.confirmFile, remoteConfirmPath()) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished Orvane sending confirm file."));
            view_.setBoardResult(row, address, true);
        } else {
            view_.addMessage(QStringLiteral("!!!Error sending Orvane confirm file."));
            view_.addMessage(causeLine(uploader_.lastCause()));
            reportNotTold();
            view_.setBoardResult(row, address, false);
        }
    }
    view_.addMessage(kRule);
    view_.addMessage(QStringLiteral("Finished sending process."));
    view_.addMessage(kRule);
    view_.setStatusLine(QStringLiteral("Finished updating settings to ") + address);
    return !cancelled();
}

bool UpdateRun::sendFiles(const RunSetup& setup, const QString& address)
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (cancelled())
            return false;
        sendSlot(setup, slot, address);
    }
    if (setup.mode == 1) {
        view_.addMessage(QStringLiteral("Sending Orvane settings file ..."));
        if (stageFile(address, setup.settingsFile, remoteSettingsPath(), Part::Settings) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished sending Orvane settings file."));
        } else {
            if (cancelled())
                return false;
            fail(Part::Settings, uploader_.lastCause());
        }
    }
    return !cancelled();
}

void UpdateRun::fail(Part part, const QString& cause)
{
    view_.addMessage(failureLine(int(part)));
    view_.addMessage(causeLine(cause));
    allSent_ = false;
}

TransferStatus UpdateRun::stageFile(const QString& address, const QString& local, const QString& remote, Part part)
{
    QString temporary;
    const TransferStatus status = uploader_.stage(address, local, remote, temporary);
    if (status == TransferStatus::Completed) {
        // Media the board holds open (it plays them) stay as they are.
        const bool media = part == Part::Background || part == Part::PiP;
        staged_.push_back({part, {temporary, remote, media}});
    } else if (!temporary.isEmpty()) {
        leftovers_ << temporary;
    }
    return status;
}

void UpdateRun::sendSlot(const RunSetup& setup, int slot, const QString& address)
{
    const QString local = setup.slots[slot].trimmed();
    const QFileInfo info(local);
    if (!local.isEmpty() && info.exists() && !info.isFile() && !info.isDir()) {
        // A device or a named pipe: never opened, not even for its media.
        view_.addMessage(QStringLiteral("Sending template file: ") + paths::fileNameOf(local));
        fail(Part::Template, kNotRegular);
        return;
    }
    if (modMain::blnFileExists(local)) {
        view_.addMessage(QStringLiteral("Sending template file: ") + paths::fileNameOf(local));
        if (setup.wrongTemplate[slot]) {
            // Refused here, not a failed transfer: the board's icon stays
            // with the outcome of what was sent.
            view_.addMessage(
                QStringLiteral("!!!This is a wrong template file to send, will go to next template file."));
            return;
        }
        if (stageFile(address, local, remoteTemplatePath(slot), Part::Template) == TransferStatus::Completed) {
            view_.addMessage(QStringLiteral("Finished sending template file."));
        } else if (cancelled()) {
            allSent_ = false;
        } else {
            fail(Part::Template, uploader_.lastCause());
        }
    }
    if (cancelled())
        return;
    // One read of the template for both of its media.
    const IniDocument tpl = IniFile(local).load();
    const auto background = [&tpl](const QString& key) {
        QString out;
        tpl.read(QStringLiteral("BACKGROUND"), key, QString(), out, kIniDefaultBuffer);
        return out.trimmed();
    };
    const QString image = background(QStringLiteral("Image File"));
    if (!image.isEmpty())
        sendMedia(image, setup.mediaFolder, address, true);
    const QString pip = background(QStringLiteral("PiP Windows"));
    if (!pip.isEmpty() && !cancelled()) {
        const QString media = pip.section(QLatin1Char('`'), 1, 1).trimmed();
        if (!media.isEmpty())
            sendMedia(media, setup.mediaFolder, address, false);
    }
}

void UpdateRun::sendMedia(const QString& value, const QString& mediaFolder, const QString& address, bool background)
{
    const Part part = background ? Part::Background : Part::PiP;
    QString local;
    QString cause;
    switch (findMedia(value, mediaFolder, local, cause)) {
    case MediaSource::Refused:
        fail(part, cause);
        return;
    case MediaSource::Missing:
        return;
    case MediaSource::Found:
        break;
    }
    const QString name = paths::fileNameOf(value);
    view_.addMessage((background ? QStringLiteral("Sending template background media file: ")
                                 : QStringLiteral("Sending image file: ")) +
                     name);
    const TransferStatus status = stageFile(address, local, remoteMediaPath(name), part);
    if (status == TransferStatus::Completed) {
        view_.addMessage(background ? QStringLiteral("Finished sending template background media file.")
                                    : QStringLiteral("Finished sending template background image file."));
        return;
    }
    if (cancelled()) {
        allSent_ = false;
        return;
    }
    // Whatever the refusal: a file the board plays is open under its real
    // name only, which the rename meets.
    fail(part, uploader_.lastCause());
}

UpdateRun::Placing UpdateRun::putInPlace(const QString& address)
{
    // Media first, so that no template goes live before its pictures; the
    // settings file last.
    const auto rank = [](Part part) { return part == Part::PiP ? int(Part::Background) : int(part); };
    std::stable_sort(staged_.begin(), staged_.end(),
                     [&rank](const Pending& a, const Pending& b) { return rank(a.part) < rank(b.part); });
    QList<StagedFile> files;
    for (const Pending& p : staged_)
        files << p.file;
    const QList<TransferStatus> results = uploader_.replace(address, files);
    if (!results.isEmpty() && results.first() == TransferStatus::Abort && cancelled()) {
        discardStaged(address);
        return Placing::Cancelled;
    }
    QStringList kept;
    qsizetype failed = -1;
    for (qsizetype i = 0; i < files.size() && failed < 0; ++i) {
        const TransferStatus status = i < results.size() ? results[i] : TransferStatus::Ready;
        if (status == TransferStatus::Completed) {
            placed_ << boardName(files[i].target);
        } else if (status == TransferStatus::FileInUsed && files[i].keepInUse) {
            kept << boardName(files[i].target);
            if (staged_[size_t(i)].part == Part::Background) {
                view_.addMessage(QStringLiteral("Background media file is playing."));
            } else {
                view_.addMessage(failureLine(int(staged_[size_t(i)].part)));
                view_.addMessage(causeLine(QStringLiteral("the board has the file open and keeps its copy")));
            }
        } else {
            failed = i;
        }
    }
    // A media file that two templates use goes into place once for each:
    // once renamed, the board holds a new copy whatever the second rename
    // does.
    placed_.removeDuplicates();
    if (failed < 0) {
        staged_.clear();
        if (!leftovers_.isEmpty())
            discardStaged(address);
        return Placing::Done;
    }
    reportFailedRename(files, failed, failed < results.size(), kept);
    // What was not renamed is of no use on the board; the temporary of a
    // rename whose outcome is not known is gone when it was renamed.
    staged_.erase(staged_.begin(), staged_.begin() + failed);
    discardStaged(address);
    return Placing::Failed;
}

void UpdateRun::reportFailedRename(const QList<StagedFile>& files, qsizetype failed, bool answered,
                                   const QStringList& kept)
{
    const QString failedName = boardName(files[failed].target);
    view_.addMessage(failureLine(int(staged_[size_t(failed)].part)));
    view_.addMessage(causeLine(answered ? uploader_.lastCause() : QString()));
    // A board that will not rename over a file had the old one moved aside
    // first; when it could not be moved back it waits there, and the board
    // puts it back when its program starts (and deletes it when the real
    // name holds a file).
    const QString aside = answered ? boardName(uploader_.oldCopyAside()) : QString();
    const bool unknown = answered && uploader_.renameOutcomeUnknown() && !placed_.contains(failedName);
    if (unknown) {
        QString line = QStringLiteral("!!!%1: the board's answer to its rename was lost, and asking it afterwards "
                                      "could not tell whether it holds the new or the old copy.")
                           .arg(failedName);
        if (!aside.isEmpty())
            line += QStringLiteral(" Its old copy was moved aside as %1; if the new one is not under the real name, "
                                   "the program puts the old one back when it starts on the board.")
                        .arg(aside);
        view_.addMessage(line);
    } else if (!aside.isEmpty()) {
        // A media file that two templates use: the copy in place at its
        // second rename is the new one of the first.
        const QString copy = placed_.contains(failedName)
                                 ? QStringLiteral("its new copy, put in place by an earlier rename,")
                                 : QStringLiteral("the board's old copy");
        view_.addMessage(QStringLiteral("!!!%1: %2 was moved aside to make room and could not be moved back; it "
                                        "waits there as %3 until the program starts on the board.")
                             .arg(failedName, copy, aside));
    }
    QStringList notReplaced = kept;
    for (qsizetype i = failed; i < files.size(); ++i)
        notReplaced << boardName(files[i].target);
    notReplaced.removeDuplicates();
    // A media file that two templates use may come again after (or was
    // kept before) the rename whose outcome is not known: that one decides.
    if (unknown)
        notReplaced.removeAll(failedName);
    for (const QString& name : std::as_const(placed_))
        notReplaced.removeAll(name);
    const QString sep = QStringLiteral(", ");
    if (unknown) {
        QString line = QStringLiteral("!!!No command was sent: it is not known whether every file is in place.");
        if (!placed_.isEmpty())
            line += QStringLiteral(" Replaced: %1.").arg(placed_.join(sep));
        line += QStringLiteral(" Outcome not known: %1.").arg(failedName);
        if (!notReplaced.isEmpty())
            line += QStringLiteral(" Not replaced: %1.").arg(notReplaced.join(sep));
        view_.addMessage(line);
    } else if (!placed_.isEmpty() && notReplaced.isEmpty()) {
        view_.addMessage(QStringLiteral("!!!No command was sent. Replaced: %1.").arg(placed_.join(sep)));
    } else if (!placed_.isEmpty()) {
        view_.addMessage(QStringLiteral("!!!Only part of the update reached the board, and no command was sent. "
                                        "Replaced: %1. Not replaced: %2.")
                             .arg(placed_.join(sep), notReplaced.join(sep)));
    } else if (!aside.isEmpty()) {
        view_.addMessage(QStringLiteral("!!!No file was replaced, and no command was sent."));
    } else {
        view_.addMessage(
            QStringLiteral("!!!No file was replaced, and no command was sent: the board keeps its old files."));
    }
}

void UpdateRun::reportNotTold()
{
    if (placed_.isEmpty())
        return;
    const bool settings = placed_.contains(boardName(remoteSettingsPath()));
    const bool content = placed_.size() > (settings ? 1 : 0);
    QString line = QStringLiteral("!!!Already in place on the board, but the board was not told to take them: %1.")
                       .arg(placed_.join(QStringLiteral(", ")));
    if (content && settings)
        line += QStringLiteral(
            " It shows the new templates and media from its next pass through its pages, but takes the new "
            "settings only with the command: send Admin Update again.");
    else if (settings)
        line += QStringLiteral(" It takes the new settings only with the command: send Admin Update again.");
    else
        line += QStringLiteral(" It shows them from its next pass through its pages.");
    view_.addMessage(line);
}

void UpdateRun::discardStaged(const QString& address)
{
    QStringList temporaries;
    for (const Pending& p : staged_)
        if (!p.file.temporary.isEmpty())
            temporaries << p.file.temporary;
    temporaries << leftovers_;
    staged_.clear();
    leftovers_.clear();
    // When the clean-up gives up (a slow or broken link, often what a cancel
    // was pressed for), the list says whose temporaries are left: the board
    // deletes them when its program starts.
    if (!temporaries.isEmpty() && !uploader_.discard(address, temporaries)) {
        const QString why = modMain::inSentence(uploader_.lastCause());
        view_.addMessage(QStringLiteral("!!!The temporary files of this update were left on %1%2; the board "
                                        "deletes them when its program starts.")
                             .arg(address, why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')')));
    }
}

TransferStatus UpdateRun::restart(const QString& address, const QString& confirmFile)
{
    TransferStatus status = TransferStatus::Ready;
    QString cause;
    if (WriteConfirmFile(confirmFile, QStringLiteral("2"), &cause)) {
        status = uploader_.put(address, confirmFile, remoteConfirmPath());
        cause = uploader_.lastCause();
    } else {
        cause = noConfirmFile(cause);
    }
    // The window's message box says only that it failed.
    if (status != TransferStatus::Completed) {
        view_.addMessage(QStringLiteral("!!!Could not restart the Orvane at ") + address + QLatin1Char('.'));
        view_.addMessage(causeLine(cause));
    }
    return status;
}

} // namespace remote
