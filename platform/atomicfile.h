#pragma once
// Crash-safe file writing: the data goes to a temporary file in the target's
// folder, is flushed to disk and then renamed over the target. A crash or a
// failed write leaves either the old file or the new one, never a part.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace atomicfile {

// Writes `data` as the whole content of `path`. On failure the old file is
// untouched and `error` (when given) says what went wrong.
//
// A `path` that is a symbolic link is followed only when the file at the
// end of its chain exists in the link's own folder or below it: that file
// is replaced and the link stays. A link out of its folder, or to nothing,
// is refused: nothing is written and no file is created through it, so a
// planted link can't make the program write anywhere else.
bool write(const QString& path, const QByteArray& data, QString* error = nullptr);

// Hands one piece of the new content to the file; false when it could not be
// written (the producer should then stop).
using Put = std::function<bool(const char* data, qsizetype size)>;
using Produce = std::function<bool(const Put& put)>;

// Writes what `produce` hands to `put`, piece by piece, as the whole content
// of `path`, with the promise of write(): the target is replaced only when
// `produce` returns true and every piece was written. When `produce` returns
// false the old file stays and `error` is left as `produce` set it.
bool writeStream(const QString& path, const Produce& produce, QString* error = nullptr);

// Removes the temporary files that writes killed part way left in `folder`
// (hidden files named ".<name>.orvtmp.<6 letters or digits>"; nothing
// else, no folders, no links). Without `modifiedBefore`, call it only where
// no write is running, at start-up; with it, only the temporaries last
// modified before it go: a younger one may belong to a write (an upload)
// still running.
// It also settles the files an upload moved aside (see asideName), at any
// age: one whose real file is missing is renamed back to it (never over a
// file that came meanwhile; of several, the last modified), one whose real
// file is a file is removed. Returns how many files were removed or put
// back.
int removeStaleTemporaries(const QString& folder, const QDateTime& modifiedBefore = {});

// A fresh temporary name for `fileName` in the pattern above
// (".<name>.orvtmp.<6 random letters or digits>"), for writers that put the
// temporary elsewhere (an upload to a board, which clears its leftovers at
// its next start).
QString temporaryName(const QString& fileName);

// A fresh name under which an upload moves a board's file aside for a
// moment, in the file's own folder, to make room for the new one on a
// server that will not rename over a file
// (".<name>.orvold.<6 random letters or digits>"). Unlike a temporary it
// may hold the board's only copy of the file: the board's start-up puts it
// back (removeStaleTemporaries).
QString asideName(const QString& fileName);

// Copies `source` over `target` the same way (links included). Copying a
// file onto itself succeeds without touching it.
bool copy(const QString& source, const QString& target, QString* error = nullptr);

// Puts the whole file `source`, which its writer has flushed to disk (a
// download staged beside the target, say), in the place of `target` the
// same way (links included), keeping the target's permissions: renamed
// where both lie on one file system, else copied and then removed. On
// failure the old target is untouched and `source` stays for the caller.
bool moveOver(const QString& source, const QString& target, QString* error = nullptr);

} // namespace atomicfile
