#include "ProjectClaim.h"

#include "ProjectLocation.h"
#include "ProjectLock.h"

ProjectClaim::ProjectClaim(QObject* parent) : QObject(parent) {
    connect(&watcher, &PackageWatcher::changed, this, &ProjectClaim::changedElsewhere);
}

ProjectClaim::~ProjectClaim() {
    release();
}

void ProjectClaim::follow(const QString& path, bool readOnlyProject) {
    release();
    canonicalPath = ProjectLocation::canonical(path);
    readOnly = readOnlyProject;
    watcher.watch(canonicalPath);
}

void ProjectClaim::wrote(const QString& path) {
    const QString written = ProjectLocation::canonical(path);
    if (written != canonicalPath || readOnly) {
        follow(path, false);
    } else {
        watcher.acceptDisk();
    }
    ProjectLock::acquire(canonicalPath);
}

void ProjectClaim::acceptDisk() {
    watcher.acceptDisk();
    if (!readOnly)
        ProjectLock::acquire(canonicalPath);
}

void ProjectClaim::release() {
    if (canonicalPath.isEmpty())
        return;
    watcher.stop();
    if (!readOnly)
        ProjectLock::release(canonicalPath);
    canonicalPath.clear();
}
