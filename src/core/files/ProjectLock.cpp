#include "ProjectLock.h"

#include "FileDescriptor.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A lock file is a few dozen bytes; anything much larger is not one of ours.
constexpr qint64 maximumLockBytes = 4096;

QString lockPath(const QString& package) {
    return package + u'/' + ProjectLock::fileName;
}

QByteArray encoded(const ProjectLock::Holder& holder) {
    return QJsonDocument(QJsonObject{{QStringLiteral("application"), QStringLiteral("Kestrin")},
                                     {QStringLiteral("user"), holder.user},
                                     {QStringLiteral("host"), holder.host},
                                     {QStringLiteral("pid"), holder.pid},
                                     {QStringLiteral("boot"), holder.boot}})
        .toJson(QJsonDocument::Compact);
}

std::optional<ProjectLock::Holder> decoded(const QByteArray& bytes) {
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    const qint64 pid = object.value(QStringLiteral("pid")).toInteger();
    const QString host = object.value(QStringLiteral("host")).toString();
    if (pid <= 0 || host.isEmpty())
        return std::nullopt;
    return ProjectLock::Holder{object.value(QStringLiteral("user")).toString(), host, pid,
                               object.value(QStringLiteral("boot")).toString()};
}

// Only a small regular file is read: a link, a pipe or a folder planted there is no lock of
// ours, and reading it must not block.
std::optional<QByteArray> readLockFile(const QString& path) {
    FileDescriptor file(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isValid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > maximumLockBytes)
        return std::nullopt;
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    const ssize_t count = ::read(file.get(), bytes.data(), size_t(bytes.size()));
    if (count < 0)
        return std::nullopt;
    bytes.truncate(count);
    return bytes;
}

// Creates the lock file only when none exists. errno tells why it failed.
bool createExclusive(const QString& path, const QByteArray& bytes) {
    FileDescriptor file(::open(QFile::encodeName(path).constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file.isValid())
        return false;
    // One small write: a reader never sees half of it on a local disk.
    const bool written =
        ::write(file.get(), bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
    const int error = errno;
    if (!file.close() || !written) {
        ::unlink(QFile::encodeName(path).constData());
        errno = written ? EIO : error;
        return false;
    }
    return true;
}

bool isRunning(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString bootID() {
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed())
                                          : QString();
}

QString userName() {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

// Moves the stale lock aside before deleting it, and only deletes what was moved if it still
// names the stale holder: two Kestrins taking over at once must not delete each other's
// fresh lock. A fresh lock moved aside by mistake goes back unless a new one is already there.
void removeStaleLock(const QString& path, const ProjectLock::Holder& stale) {
    const QString aside =
        path + QStringLiteral(".stale-%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return;
    const std::optional<QByteArray> bytes = readLockFile(aside);
    const std::optional<ProjectLock::Holder> moved = bytes ? decoded(*bytes) : std::nullopt;
    if (!moved || !moved->isSameProcess(stale))
        ::link(QFile::encodeName(aside).constData(), QFile::encodeName(path).constData());
    ::unlink(QFile::encodeName(aside).constData());
}

} // namespace

QString ProjectLock::Holder::description() const {
    return tr("%1 on %2 (process %3)").arg(user.isEmpty() ? tr("someone") : user, host).arg(pid);
}

ProjectLock::Holder ProjectLock::currentProcess() {
    static const Holder me{userName(), QSysInfo::machineHostName(),
                           qint64(QCoreApplication::applicationPid()), bootID()};
    return me;
}

bool ProjectLock::isStale(const Holder& holder, const Holder& me) {
    if (holder.host != me.host)
        return false; // another machine's processes cannot be seen from here
    if (!holder.boot.isEmpty() && !me.boot.isEmpty() && holder.boot != me.boot)
        return true;
    return !isRunning(holder.pid);
}

ProjectLock::Result ProjectLock::acquire(const QString& package, const Holder& me) {
    const QString path = lockPath(package);
    // Twice: once more after a stale lock was cleared away.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (createExclusive(path, encoded(me)))
            return {Outcome::acquired, me};
        if (errno != EEXIST)
            return {Outcome::unavailable, std::nullopt};
        const std::optional<Holder> current = holder(package);
        if (!current && !exists(package))
            continue; // released meanwhile
        if (!current)
            return {Outcome::heldByOther, std::nullopt};
        if (current->isSameProcess(me))
            return {Outcome::acquired, me};
        if (!isStale(*current, me))
            return {Outcome::heldByOther, current};
        removeStaleLock(path, *current);
    }
    return {Outcome::heldByOther, holder(package)};
}

void ProjectLock::release(const QString& package, const Holder& me) {
    const std::optional<Holder> current = holder(package);
    if (current && current->isSameProcess(me))
        QFile::remove(lockPath(package));
}

std::optional<ProjectLock::Holder> ProjectLock::holder(const QString& package) {
    const std::optional<QByteArray> bytes = readLockFile(lockPath(package));
    return bytes ? decoded(*bytes) : std::nullopt;
}

bool ProjectLock::exists(const QString& package) {
    struct stat status {};
    return ::lstat(QFile::encodeName(lockPath(package)).constData(), &status) == 0;
}
