#include "PackageWatcher.h"

#include "PackageFingerprint.h"
#include "ProjectPackage.h"

#include <QFileInfo>

PackageWatcher::PackageWatcher(QObject* parent) : QObject(parent) {
    settle.setSingleShot(true);
    settle.setInterval(settleTime);
    connect(&settle, &QTimer::timeout, this, &PackageWatcher::check);
    poll.setInterval(pollInterval);
    connect(&poll, &QTimer::timeout, this, &PackageWatcher::check);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, &settle, qOverload<>(&QTimer::start));
    connect(&watcher, &QFileSystemWatcher::fileChanged, &settle, qOverload<>(&QTimer::start));
}

void PackageWatcher::watch(const QString& package) {
    stop();
    watched = package;
    acceptDisk();
    rewatch();
    poll.start();
}

void PackageWatcher::stop() {
    settle.stop();
    poll.stop();
    if (const QStringList paths = watcher.files() + watcher.directories(); !paths.isEmpty())
        watcher.removePaths(paths);
    watched.clear();
}

void PackageWatcher::acceptDisk() {
    known = PackageFingerprint::of(watched);
    lastReported.clear();
}

bool PackageWatcher::changedOnDisk() const {
    if (watched.isEmpty())
        return false;
    const QByteArray now = PackageFingerprint::of(watched);
    return !now.isEmpty() && now != known;
}

// A replaced folder is a new one: the watches are set again after every change.
void PackageWatcher::rewatch() {
    if (watched.isEmpty())
        return;
    const QStringList wanted{QFileInfo(watched).absolutePath(), watched,
                             watched + u'/' + ProjectPackage::layersDirectoryName,
                             watched + u'/' + ProjectPackage::manifestFileName};
    for (const QString& path : wanted) {
        if (QFileInfo::exists(path))
            watcher.addPath(path);
    }
}

void PackageWatcher::check() {
    rewatch();
    if (!changedOnDisk())
        return;
    // Each different state is reported once, however many times the folder is touched.
    const QByteArray now = PackageFingerprint::of(watched);
    if (now == lastReported)
        return;
    lastReported = now;
    emit changed();
}
