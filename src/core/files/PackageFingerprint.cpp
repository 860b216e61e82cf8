#include "PackageFingerprint.h"

#include "PackageDirectory.h"
#include "PackageError.h"
#include "ProjectPackage.h"
#include "SpriteLimits.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace PackageFingerprint {

QByteArray of(const QString& package) {
    std::optional<QByteArray> manifest;
    try {
        manifest = PackageDirectory::open(package).readFile(ProjectPackage::manifestFileName,
                                                            SpriteLimits::maximumManifestBytes);
    } catch (const PackageError&) {
        return {};
    }
    if (!manifest)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(*manifest);
    const QString layers = package + u'/' + ProjectPackage::layersDirectoryName;
    const QStringList names = QDir(layers).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        struct stat status {};
        if (::lstat(QFile::encodeName(layers + u'/' + name).constData(), &status) != 0)
            continue;
        hash.addData(QStringLiteral("\n%1 %2 %3.%4 %5")
                         .arg(name)
                         .arg(qint64(status.st_size))
                         .arg(qint64(status.st_mtim.tv_sec))
                         .arg(qint64(status.st_mtim.tv_nsec))
                         .arg(quint64(status.st_ino))
                         .toUtf8());
    }
    return hash.result();
}

} // namespace PackageFingerprint
