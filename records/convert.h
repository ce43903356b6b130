#pragma once
// Conversion of a source file (an outside export or a record file of the
// program) into the working record file.
#include <QString>

namespace records {

enum class ConvertStatus {
    Converted, // the target was written
    NoReader,  // no reader for this Data Type and extension: target untouched
    Missing,   // the source does not exist (or the path is empty)
    Failed,    // unreadable or too large source, a line its reader cannot take, or a failed write
    NoRecords, // the source gave no record while the target holds some: target untouched
};

// Converts `source` into `target` with the reader chosen by `dataType` and
// the source's extension, a block at a time: memory stays small whatever the
// source's size. The output goes to a temporary file that replaces the
// target only after the whole source converted, so both may be the same
// file, and on any failure the target keeps its previous content byte for
// byte. A source that gives no record at all (an empty file, an export of
// another kind, garbage) never empties a target that holds records: the
// target stays and the status is NoRecords. `error` says why a conversion
// failed.
// A source missing under its own spelling is looked for in its folder
// without regard to letter case.
ConvertStatus convertFile(const QString& source, const QString& dataType, const QString& target,
                          QString* error = nullptr);

} // namespace records

// Converts `source` into the working record file (gstrWorkingDataFile) by
// the Data Type (gstrDataType). `ok` is true when the conversion ran to its
// end, also when no reader matched (a "!!!" status line then says so and the
// working file stays as it was); false for a missing source (status line
// "No data file to convert."), for a source without a record while the
// working file holds some (the working file stays), and for a failure. The
// last two are told through modMain::reportProblem: a message box in Editor
// mode, a "!!!" status line during a run.
void ConvertDataFile(const QString& source, bool& ok);
