#include "InstallPolicy.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isAtOrUnder(const QString& path, const QString& root) {
    const QString cleanRoot = QDir::cleanPath(root);
    return path == cleanRoot || path.startsWith(cleanRoot + u'/');
}

} // namespace

namespace InstallPolicy {

Verdict verdict(const QString& executablePath, const QString& homePath, bool skipPrompt) {
    const QString directory = QFileInfo(QDir::cleanPath(executablePath)).path();
    if (isInstalledLocation(directory, homePath))
        return Verdict::installed;
    if (isInsideBuildTree(directory))
        return Verdict::buildTree;
    if (skipPrompt)
        return Verdict::declined;
    return Verdict::offer;
}

bool isInstalledLocation(const QString& directory, const QString& homePath) {
    const QString path = QDir::cleanPath(directory);
    return isAtOrUnder(path, homePath + QStringLiteral("/.local/bin")) ||
           isAtOrUnder(path, QStringLiteral("/usr")) || isAtOrUnder(path, QStringLiteral("/opt"));
}

bool isInsideBuildTree(const QString& directory) {
    for (QString path = QDir::cleanPath(directory);;) {
        if (QFileInfo::exists(path + QStringLiteral("/CMakeCache.txt")))
            return true;
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return false;
        path = parent;
    }
}

} // namespace InstallPolicy
