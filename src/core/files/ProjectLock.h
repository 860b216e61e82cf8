#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

// The lock file a Kestrin keeps inside a project package while it edits it, so that another
// Kestrin (of another user, on another machine sharing the folder, or another session) does
// not write the same project. It names the holder: user, host and process.
class ProjectLock {
    Q_DECLARE_TR_FUNCTIONS(ProjectLock)

public:
    static inline const QString fileName = QStringLiteral(".kestrin-lock");

    struct Holder {
        QString user;
        QString host;
        qint64 pid = 0;
        QString boot; // the host's boot id: a pid from before a restart means nothing now

        bool isSameProcess(const Holder& other) const {
            return host == other.host && pid == other.pid && boot == other.boot;
        }
        // "ana on studio (process 4242)".
        QString description() const;
    };

    enum class Outcome {
        acquired, // the lock is this process's now (or was already)
        heldByOther,
        unavailable // no lock can be made there (a read-only package, say); nobody holds one
    };

    struct Result {
        Outcome outcome = Outcome::unavailable;
        // For heldByOther: the holder, or nothing when the lock file cannot be read.
        std::optional<Holder> holder;
    };

    static Holder currentProcess();

    // Takes the lock of the package for `me`. A lock whose process is gone from this host
    // (or that predates the host's last start) is taken over.
    static Result acquire(const QString& package, const Holder& me = currentProcess());
    // Removes the lock when `me` holds it; another holder's lock is left alone.
    static void release(const QString& package, const Holder& me = currentProcess());
    // The lock's holder; nothing when there is no lock or it cannot be read.
    static std::optional<Holder> holder(const QString& package);
    static bool exists(const QString& package);

    // True when the holder is a process on this host that is no longer running.
    static bool isStale(const Holder& holder, const Holder& me);
};
