#pragma once

#include "PackageTree.h"

#include <QByteArray>
#include <QString>

// A package tree as one byte string, so the fuzzer can mutate manifest and cel files together:
// the manifest's bytes, then for every further entry a marker line "\n--8<-- <path>\n" and
// the entry's bytes. A path with "/" lands in subdirectories; a path ending in "/" is an
// empty directory.
namespace FuzzPackageFormat {

inline const QByteArray marker = QByteArrayLiteral("\n--8<-- ");

// Packages are two levels deep; deeper paths keep their remaining slashes in the last name.
inline constexpr int maximumDepth = 3;

inline void insertAt(PackageTree& directory, const QString& path, const QByteArray& bytes,
                     int depth = 1) {
    const qsizetype slash = path.indexOf('/');
    if (slash < 0 || depth == maximumDepth) {
        directory.insert(path, PackageTree::file(bytes));
        return;
    }
    const QString head = path.left(slash);
    const QString rest = path.mid(slash + 1);
    const PackageTree* existing = directory.entry(head);
    PackageTree child = existing && existing->isDirectory() ? *existing : PackageTree();
    if (!rest.isEmpty())
        insertAt(child, rest, bytes, depth + 1);
    directory.insert(head, std::move(child));
}

inline PackageTree treeFromBytes(const QByteArray& data) {
    PackageTree root;
    qsizetype start = data.indexOf(marker);
    root.insert(QStringLiteral("project.json"),
                PackageTree::file(start < 0 ? data : data.left(start)));
    while (start >= 0) {
        const qsizetype nameStart = start + marker.size();
        const qsizetype nameEnd = data.indexOf('\n', nameStart);
        if (nameEnd < 0)
            break;
        const qsizetype next = data.indexOf(marker, nameEnd + 1);
        const QByteArray bytes = data.mid(nameEnd + 1, next < 0 ? -1 : next - nameEnd - 1);
        insertAt(root, QString::fromUtf8(data.mid(nameStart, nameEnd - nameStart)), bytes);
        start = next;
    }
    return root;
}

inline void appendEntries(QByteArray& out, const PackageTree& directory, const QString& prefix) {
    for (const auto& [name, child] : directory.entries()) {
        if (prefix.isEmpty() && name == QStringLiteral("project.json"))
            continue;
        const QString path = prefix + name;
        if (child.isDirectory()) {
            if (child.entries().empty())
                out += marker + (path + '/').toUtf8() + '\n';
            appendEntries(out, child, path + '/');
            continue;
        }
        out += marker + path.toUtf8() + '\n' + child.contents();
    }
}

inline QByteArray bytesFromTree(const PackageTree& root) {
    const PackageTree* manifest = root.entry(QStringLiteral("project.json"));
    QByteArray out = manifest ? manifest->contents() : QByteArray();
    appendEntries(out, root, {});
    return out;
}

} // namespace FuzzPackageFormat
