#pragma once

#include <QString>

// Tells one state of a file from another: a report, preview or ExifTool made from a file is
// used again only while the file's stamp is the same. The time is taken to the nanosecond, as
// the file system keeps it, so that a change within the same second still counts.
struct FileStamp {
    QString path;
    qint64 size = -1;
    qint64 modified = -1; // nanoseconds since the epoch; -1 when there is no such file

    static FileStamp of(const QString &path);

    bool exists() const { return modified >= 0; }
    // This file last changed before other did (a report made before its photo changed).
    bool olderThan(const FileStamp &other) const { return exists() && other.exists() && modified < other.modified; }

    bool operator==(const FileStamp &other) const
    {
        return path == other.path && size == other.size && modified == other.modified;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};
