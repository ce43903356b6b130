#pragma once
// The settings file OrvaneSettings.ini (and the pushed UpdatedSettings.ini,
// same format): the value object that holds every key, its writer and its
// reader. Every board reads this file, so its sections, keys, their order and
// the reading rules are fixed.
//
// How the main window uses it:
//  - SaveSettings / SaveDisplaySettings build a SettingsValues through
//    savesettings.h, which writes it with writeSettingsFile() or updates the
//    screen keys in place.
//  - LoadSettings / LoadDefaultSettings call loadSettingsDocument() (nothing
//    at all happens when it answers nothing: the file is missing or can't
//    be read), then
//    readSettings() and the load rules of settingsload.h.
#include "platform/inifile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace settingsfile {

// Sections.
inline const QString kSettings = QStringLiteral("SETTINGS");
inline const QString kDayTimeValidation = QStringLiteral("DAYTIME_VALIDATION");
inline const QString kAssignedSettings = QStringLiteral("ASSIGNED_SETTINGS");
inline const QString kSortSettings = QStringLiteral("SORT_SETTINGS");
inline const QString kTemplates = QStringLiteral("TEMPLATES");

// A read copies at most this many characters minus one.
constexpr int kValueBuffer = 2048;
// The mode is read through a much smaller buffer (at most 4 characters).
constexpr int kStatusBuffer = 5;

// What the file holds for one key.
enum class KeyState {
    Missing, // no such key (or not written)
    Empty,   // the key with nothing after "="
    Set,     // the key with a value
};

struct Value {
    KeyState state = KeyState::Missing;
    QString text; // value as read (see readKey); empty unless Set

    static Value set(const QString& text); // Empty when `text` is empty
    static Value empty() { return {KeyState::Empty, QString()}; }
    static Value missing() { return {}; }
    bool isSet() const { return state == KeyState::Set; }
    bool isMissing() const { return state == KeyState::Missing; }
    bool isEmpty() const { return state == KeyState::Empty; }
    bool operator==(const Value&) const = default;
};

// Every key of the file, in the file's order. A key in state Missing is not
// written; a writer of the whole file fills either the local group (Data
// File, Booking Data File) or the FTP group (the five FTP keys).
struct SettingsValues {
    // SETTINGS
    Value status;
    Value dataType;
    Value retrieveType;
    Value dataFile;
    Value bookingDataFile;
    Value ftpFilename;
    Value ftpServer;
    Value ftpUsername;
    Value ftpPassword;
    Value ftpBookingFilename;
    Value idLookupDataFile;
    Value standAlone;
    Value dwellTime;
    Value imageFile;
    // DAYTIME_VALIDATION
    Value dayTimeValidity;
    Value validStartTime;
    Value validEndTime;
    Value validStartDays;
    Value validEndDays;
    // ASSIGNED_SETTINGS
    Value assignedField;
    Value assignedLocation;
    // SORT_SETTINGS
    Value sortType;
    Value sortGroup;
    Value sortLine;
    // TEMPLATES
    Value layoutMode; // "Mode"
    Value width;
    Value height;
    Value rotation;
    Value listNumber;
    // The numbered keys "1", "2", ...: written after "List Number" when it
    // is not Missing. The reader leaves this empty (see readPlayList).
    QStringList playList;
};

// One key of the file: where it lives, its name and the default a read
// passes for it (a missing key with a non-empty default reads as present).
struct KeyInfo {
    QString section;
    QString key;
    Value SettingsValues::*member;
    QString readDefault;
    // Written as typed (the FTP texts): blanks inside its quotes stay on read.
    bool asTyped = false;
};
// Every named key, in the order the writer uses.
const std::vector<KeyInfo>& keyTable();

// The document a full save produces: only the keys that are not Missing, in
// the table's order, then the play-list keys. A value with blanks at either
// end or enclosed in quotes (an FTP password typed so) is protected with a
// pair of quotes (protectedIniValue), so that it reads back as written.
IniDocument renderSettings(const SettingsValues& values);
// Writes the whole file at once (a temporary file renamed over the old one):
// a failed write leaves the old file as it was. False with `error` on failure.
bool writeSettingsFile(const QString& path, const SettingsValues& values, QString* error = nullptr);

// Reads the file; nothing when it does not exist. A file that exists but
// cannot be read (no permission, larger than textfile::kMaxSmallFileBytes) also
// gives nothing, with a "!!!" status line: a load then changes nothing, so a
// broken pushed file can't reset the settings that a following save would
// write back.
std::optional<IniDocument> loadSettingsDocument(const QString& path);

// The state and value of every named key (the read cuts a value to
// kValueBuffer - 1 characters). The play-list is not read here.
// A value the cut shortens adds one line starting with "!!!" that names
// its key to `log` (when given).
SettingsValues readSettings(const IniDocument& doc, QStringList* log = nullptr);

// The value of a key as the profile read gives it: the file's value
// (trimmed, then one pair of enclosing quotes stripped) or the key's
// default, cut to `bufSize` - 1 characters, and trimmed again. A value
// written as typed (`asTyped`: an FTP password in quotes) keeps blanks
// inside its quotes unless the cut shortened it. `present` is true when at
// least one character was copied.
struct KeyRead {
    QString text;
    bool present = false;
};
// A value longer than the buffer adds one "!!!" line naming the key to
// `log` (when given).
KeyRead readKey(const IniDocument& doc, const QString& section, const QString& key, const QString& def,
                int bufSize = kValueBuffer, QStringList* log = nullptr, bool asTyped = false);

} // namespace settingsfile
