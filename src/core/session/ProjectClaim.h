#pragma once

#include "PackageWatcher.h"

#include <QObject>
#include <QString>

// A window's hold on the project it shows: the project's lock, kept against other writers
// (the opener takes it, this gives it back), and a watch on the package for changes made by
// other applications. A read-only window holds no lock and never writes the project.
class ProjectClaim : public QObject {
    Q_OBJECT

public:
    explicit ProjectClaim(QObject* parent = nullptr);
    // Gives the lock back.
    ~ProjectClaim() override;

    // Follows the project at path (any spelling of it); its lock is this process's already
    // unless read-only.
    void follow(const QString& path, bool readOnly);
    // This window has just written the project at path. A save replaces the whole package,
    // lock file included, so the lock is taken again; a new path gives the old lock back.
    // What is on disk now is what the window knows.
    void wrote(const QString& path);
    // Gives the lock back and stops watching.
    void release();

    // The project's canonical path; empty when following none.
    QString project() const { return canonicalPath; }
    bool isReadOnly() const { return readOnly; }
    // True when another application changed the package since this window read or wrote it.
    bool changedOnDisk() const { return watcher.changedOnDisk(); }
    // The window now shows what is on disk (after reloading it). A package replaced from
    // outside came without this window's lock: it is taken again.
    void acceptDisk();

signals:
    // The package on disk changed under the window.
    void changedElsewhere();

private:
    PackageWatcher watcher;
    QString canonicalPath;
    bool readOnly = false;
};
