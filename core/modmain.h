#pragma once
// Free functions every part of the program calls: cutting texts at a
// delimiter, the file test, file kinds, the notice to the local player, the
// user-abort test and the remembered-choices file.
#include "platform/services.h"

#include <QString>

#include <functional>

namespace modMain {

// Text after / before the last or first `delimiter`; the whole text when the
// delimiter does not occur. Comparison is exact and case-sensitive.
QString GetRightOfLast(const QString& text, QChar delimiter);
QString GetLeftOfLast(const QString& text, QChar delimiter);
QString GetLeftOfFirst(const QString& text, QChar delimiter);
QString GetRightOfFirst(const QString& text, QChar delimiter);

// A reason worded as a sentence of its own ("Permission denied.") made part
// of another one: trimmed, without its closing full stops, first letter
// small. "" stays "".
QString inSentence(const QString& reason);

// True when `path` names an existing regular file (no wildcard matching:
// "*" and "?" are ordinary characters). Folders and hidden files are false.
bool blnFileExists(const QString& path);

// "PictureType", "VideoType", "AudioType", ... or "OtherType", by extension.
QString GetFileType(const QString& fileName);

// The file a template's background or PiP name stands for: a bare name is
// in the Media folder; a path is itself when `exists` says so, else its
// file name (the text after the last "\" or "/") in the Media folder. In
// the Media folder the name is found in any letter case (paths::resolve).
QString resolveMediaPath(const QString& name, const QString& mediaFolder,
                         const std::function<bool(const QString&)>& exists = blnFileExists);

// Tells the local player which page image to show: writes the file name into
// section "Options", key "VariablesUpdateImage" of the player's
// Settings/Settings.ini, keeping every other line.
void UpdatePlayerVariablesImage(const QString& imagePath);

// Reads Esc and the right mouse button; when either is down sets the stop
// flag and runs Stop. Returns the stop flag.
bool blnCheckUserAbort();

// Tells the user of a problem. During a run (gblnRunActive) nobody waits for
// a click: the text goes to the status list as a "!!!" line and the call
// returns at once; otherwise a message box with the program's title shows it.
void reportProblem(const QString& text, MsgIcon icon = MsgIcon::Information);

void WriteLastLoadValue(const QString& section, const QString& key, const QString& value);
QString ReadLastLoadValue(const QString& section, const QString& key);

} // namespace modMain
