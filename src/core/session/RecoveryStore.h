#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

// Copies of documents with unsaved changes, so that work survives a crash. Each running
// Kestrin keeps its copies in a session folder of its own under <app data>/recovery, locked
// while it runs, with an "index.json" naming each copy's document. A session folder whose
// lock is free was left by a Kestrin that stopped without closing its documents; its copies
// are the leftovers offered at the next launch. Main thread only, except packagePath().
class RecoveryStore {
    Q_DECLARE_TR_FUNCTIONS(RecoveryStore)

public:
    struct Entry {
        QString id;           // the copy is "<id>.pixel" in its session folder
        QString originalPath; // the project the document belongs to; empty when untitled
        QString title;
        QDateTime savedAt;
    };

    struct Leftover {
        Entry entry;
        QString packagePath;
        QString sessionDirectory;
    };

    // Starts this process's session under root (created when missing).
    explicit RecoveryStore(QString root = defaultRoot());
    // Ends the session. Copies still listed stay for the next launch; an empty session
    // folder is removed.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    static QString defaultRoot();
    QString sessionDirectory() const { return session; }
    QString rootDirectory() const { return root; }
    static QString newID();

    QString packagePath(const QString& id) const;
    QList<Entry> entries() const;
    // Lists a written copy, replacing an older listing of the same id.
    void record(const Entry& entry);
    // Deletes a copy and its listing; nothing happens for an unknown id.
    void discard(const QString& id);

    // The copies of ended sessions, oldest first. Their sessions stay claimed by this store,
    // so a second Kestrin starting meanwhile does not offer them too.
    QList<Leftover> leftovers();
    // Deletes the folders of ended sessions that hold no copies (a Kestrin that was stopped
    // with nothing unsaved), so they do not pile up and slow every later launch.
    void removeAbandonedSessions();
    // Moves a leftover into this session under the id and lists it here; false when it
    // could not be moved, and then it stays where it was.
    bool adopt(const Leftover& leftover, const QString& id);
    void discardLeftover(const Leftover& leftover);

private:
    struct ClaimedSession;

    QStringList otherSessions() const;
    bool isClaimed(const QString& directory) const;
    bool claimSession(const QString& directory);

    QString root;
    QString session;
    std::unique_ptr<QLockFile> lock;
    QList<std::shared_ptr<ClaimedSession>> claimed;
};
