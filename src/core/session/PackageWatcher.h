#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <chrono>

// Watches one project package and tells when it no longer is what the window last read or
// wrote. A save replaces the whole folder, so the folder that holds the package is watched
// as well as the package and its "layers". Bursts of changes are judged once they settle.
// A file rewritten in place inside "layers" raises no folder event, and network folders
// raise none at all: a slow poll catches those.
class PackageWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds settleTime{300};
    static constexpr std::chrono::milliseconds pollInterval{2000};

    explicit PackageWatcher(QObject* parent = nullptr);

    // Starts watching the package; what is on disk now is what the window knows.
    void watch(const QString& package);
    void stop();
    QString package() const { return watched; }

    // The package as the window last read or wrote it.
    void setKnown(const QByteArray& fingerprint) { known = fingerprint; }
    QByteArray knownFingerprint() const { return known; }
    // Records what is on disk now as known.
    void acceptDisk();
    // True when the package on disk differs from the known one. A package that is missing
    // counts as unchanged: there is nothing to be overwritten.
    bool changedOnDisk() const;

signals:
    // The package on disk changed and differs from the known one.
    void changed();

private:
    void check();
    void rewatch();

    QFileSystemWatcher watcher;
    QTimer settle;
    QTimer poll;
    QString watched;
    QByteArray known;
    QByteArray lastReported;
};
