#pragma once
// What tells one version of a file from another without reading it: the
// file behind the name (device and inode), its size and its modification
// time to the nanosecond. A file rewritten in place within the same second,
// or replaced by another file under the same name, gives another stamp.
#include <QString>

#include <QtGlobal>

struct FileStamp {
    bool exists = false; // false: nothing readable at the path (every other field 0)
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // nanoseconds since the epoch

    // The stamp of the file at `path` (a link is followed); a missing path,
    // a folder or anything but a regular file gives the empty stamp.
    static FileStamp of(const QString& path);

    bool operator==(const FileStamp&) const = default;
};
