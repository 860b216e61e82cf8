#pragma once

#include "FileDescriptor.h"
#include "FileStamp.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A package directory opened for reading. Entries are opened relative to it, links inside the
// package are never followed, and only regular files are read, so a hostile package cannot
// make the reader block on a pipe or wander outside the package.
class PackageDirectory {
public:
    // Throws PackageError: fileReadNoSuchFile, fileReadNoPermission, fileReadCorruptFile when
    // the path is not a directory, fileReadUnknown otherwise.
    static PackageDirectory open(const QString& path);

    // Nothing when there is no directory of that name.
    std::optional<PackageDirectory> subdirectory(const QString& name) const;
    // Nothing when there is no regular file of that name. Throws PackageError when the file
    // is larger than maximumBytes (fileReadCorruptFile) or cannot be read. The stamp, when
    // asked for, is that of the file the bytes were read from.
    std::optional<QByteArray> readFile(const QString& name, qint64 maximumBytes,
                                       FileStamp* stamp = nullptr) const;

private:
    explicit PackageDirectory(FileDescriptor descriptor, QString path)
        : fd(std::move(descriptor)), location(std::move(path)) {}

    FileDescriptor fd;
    QString location;
};
