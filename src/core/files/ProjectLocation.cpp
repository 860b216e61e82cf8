#include "ProjectLocation.h"

#include "ProjectPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ProjectLocation {

QString canonical(const QString& path) {
    QString cleaned = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QFileInfo info(cleaned);
    if (info.fileName() == ProjectPackage::manifestFileName && info.isFile())
        cleaned = info.absolutePath();
    const QFileInfo package(cleaned);
    if (const QString real = package.canonicalFilePath(); !real.isEmpty())
        return real;
    if (package.isSymLink())
        return QDir::cleanPath(package.symLinkTarget());
    return cleaned;
}

bool isProject(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() &&
           QFileInfo(info.absoluteFilePath() + u'/' + ProjectPackage::manifestFileName).isFile();
}

bool existsOrLinks(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void remove(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        QFile::remove(path);
    else
        QDir(path).removeRecursively();
}

} // namespace ProjectLocation
