#pragma once
// The seven template slots of a master template list and the list file.
//
// Slot i (0 to 6) holds the template for pages of i records. Each slot has a
// caption ("Template with 3 records:"), a key in the list file ("Template
// with 3 record": the singular, as old list files have it) and the template
// name a board keeps it under ("Template with 3 records").
//
// A master template list file (".MTL") is an INI file with the section
// "MASTER_TEMPLATE_LIST" and one key per slot holding the template path.
// Saving writes the paths as they stand (untrimmed) and keeps every other
// key and section of an existing file; loading trims them.
#include <QString>

#include <array>

namespace remote {

constexpr int kSlotCount = 7;
using SlotPaths = std::array<QString, kSlotCount>;

QString slotCaption(int slot);
QString slotKey(int slot);
QString slotTemplateName(int slot);

// The "Records Per Page" value of a template file, as at most its first two
// characters: -1 when the file, the section or the key is missing, the value
// is empty or does not start with a digit (" 1" is 1, "123" is 12). A file
// that exists but cannot be read as a template (a device, a pipe, a folder,
// one over textfile::kMaxSmallFileBytes, an unreadable one) is not read
// whole: -1, and `error` names the file and the reason. `error` is left
// empty otherwise.
int GetRecordsPerPage(const QString& path, QString* error = nullptr);

// What a template file is to slot `slot` (0 to 6), by its "Records Per
// Page". The path is taken trimmed, as the update run sends it.
enum class SlotFit {
    NoFile,     // no path, or nothing under it: nothing to send
    Fits,       // its records per page are the slot's number
    NoCount,    // it gives no records per page (see GetRecordsPerPage)
    OtherCount, // it gives another number
    Unreadable, // it cannot be read as a template: `error` names it and says why
};
// `error` is left empty unless the answer is Unreadable.
SlotFit checkSlotTemplate(int slot, const QString& path, QString* error = nullptr);

// True when a slot holding such a template carries the wrong-template mark,
// so that the update run does not send it. The one rule for every way a
// slot is filled: a template chosen with Load or typed into the slot must
// fit it; one that a master template list names may also give no number,
// as list files have always been taken (`namedByList`). A path that names
// nothing is not marked: there is nothing to send.
bool slotTemplateRefused(SlotFit fit, bool namedByList);

// The slot paths of a list file, trimmed; a missing key gives "". The file
// is read once. False (with `error` naming the file, `slots` all empty) when
// it exists but cannot be read, as for GetRecordsPerPage; a missing file
// gives empty slots.
bool readMasterList(const QString& path, SlotPaths& slots, QString* error = nullptr);
// Writes the seven keys in slot order. False (file unchanged) on failure.
bool writeMasterList(const QString& path, const SlotPaths& slots, QString* error = nullptr);

} // namespace remote
