#pragma once

#include "FileStamp.h"

#include <QByteArray>
#include <QString>
#include <map>

// A package held in memory: a node is either a regular file (its bytes) or a directory (named
// child nodes, sorted by name). A plain value; file contents share storage until written. A
// file may instead be carried over from an existing file on disk, which the writer links or
// copies without reading it into memory.
class PackageTree {
public:
    using Entries = std::map<QString, PackageTree>;

    // An empty directory.
    PackageTree() = default;
    static PackageTree file(QByteArray contents);
    static PackageTree directory(Entries entries = {});
    // A file whose contents are those of the file at sourcePath, as long as it still has the
    // stamp it had when its contents were known.
    static PackageTree carried(QString sourcePath, FileStamp stamp);

    bool isFile() const { return regularFile; }
    bool isDirectory() const { return !regularFile; }

    // A file's bytes; empty for a directory and a carried file.
    const QByteArray& contents() const { return bytes; }
    // Where a carried file comes from; empty otherwise.
    const QString& carriedFrom() const { return source; }
    const FileStamp& carriedStamp() const { return stamp; }
    // A directory's children; empty for a file.
    const Entries& entries() const { return children; }
    // The child of that name, or null (also for a file).
    const PackageTree* entry(const QString& name) const;
    // Adds or replaces a child; a file becomes a directory first.
    void insert(const QString& name, PackageTree child);

    friend bool operator==(const PackageTree& a, const PackageTree& b) = default;

private:
    bool regularFile = false;
    QByteArray bytes;
    QString source;
    FileStamp stamp;
    Entries children;
};
