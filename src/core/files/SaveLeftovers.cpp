#include "SaveLeftovers.h"

#include "ProjectLocation.h"
#include "ProjectPackage.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace {

const QLatin1String savingRole(".saving-");
const QLatin1String oldRole(".old-");

QStringList newestFirst(const QDir& parent, const QString& prefix) {
    QStringList paths;
    const QFileInfoList found = parent.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Time);
    for (const QFileInfo& info : found) {
        if (info.fileName().startsWith(prefix))
            paths.append(info.filePath());
    }
    return paths;
}

// Opens completely: the manifest decodes and every cel it names is a readable image.
bool isWhole(const QString& path) {
    try {
        ProjectPackage::readPackage(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString prefixFor(const QString& package, QLatin1String role) {
    return u'.' + QFileInfo(package).fileName() + role;
}

} // namespace

namespace SaveLeftovers {

QStringList find(const QString& package) {
    const QDir parent = QFileInfo(package).absoluteDir();
    return newestFirst(parent, prefixFor(package, savingRole)) +
           newestFirst(parent, prefixFor(package, oldRole));
}

Outcome tidy(const QString& package) {
    QStringList leftovers = find(package);
    Outcome outcome;
    if (leftovers.isEmpty())
        return outcome;
    if (ProjectLocation::existsOrLinks(package)) {
        if (!isWhole(package))
            return outcome;
    } else {
        const auto whole = std::find_if(leftovers.begin(), leftovers.end(), isWhole);
        if (whole != leftovers.end() && std::rename(QFile::encodeName(*whole).constData(),
                                                    QFile::encodeName(package).constData()) == 0) {
            outcome.restored = true;
            leftovers.erase(whole);
        } else if (whole != leftovers.end()) {
            return outcome; // it could not be put back: it stays, and so does everything else
        }
    }
    for (const QString& leftover : std::as_const(leftovers)) {
        ProjectLocation::remove(leftover);
        ++outcome.removed;
    }
    return outcome;
}

} // namespace SaveLeftovers
