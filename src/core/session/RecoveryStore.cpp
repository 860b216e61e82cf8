#include "RecoveryStore.h"

#include "ProjectPackage.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>

namespace {

const QString indexFileName = QStringLiteral("index.json");
const QString lockFileName = QStringLiteral("session.lock");

QJsonObject toJson(const RecoveryStore::Entry& entry) {
    return {{QStringLiteral("id"), entry.id},
            {QStringLiteral("originalPath"), entry.originalPath},
            {QStringLiteral("title"), entry.title},
            {QStringLiteral("savedAt"), entry.savedAt.toString(Qt::ISODateWithMs)}};
}

RecoveryStore::Entry entryFrom(const QJsonObject& object) {
    return {object.value(QStringLiteral("id")).toString(),
            object.value(QStringLiteral("originalPath")).toString(),
            object.value(QStringLiteral("title")).toString(),
            QDateTime::fromString(object.value(QStringLiteral("savedAt")).toString(),
                                  Qt::ISODateWithMs)};
}

QList<RecoveryStore::Entry> readIndex(const QString& directory) {
    QFile file(directory + u'/' + indexFileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<RecoveryStore::Entry> entries;
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).array()) {
        const RecoveryStore::Entry entry = entryFrom(value.toObject());
        if (!entry.id.isEmpty())
            entries.append(entry);
    }
    return entries;
}

void writeIndex(const QString& directory, const QList<RecoveryStore::Entry>& entries) {
    QJsonArray array;
    for (const RecoveryStore::Entry& entry : entries)
        array.append(toJson(entry));
    QSaveFile file(directory + u'/' + indexFileName);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(array).toJson());
        file.commit();
    }
}

QString packageName(const QString& id) {
    return id + u'.' + ProjectPackage::fileExtension;
}

// The listed copies of a session, plus any copy written but not yet listed when it ended.
QList<RecoveryStore::Entry> entriesOnDisk(const QString& directory) {
    QList<RecoveryStore::Entry> entries = readIndex(directory);
    const QStringList packages =
        QDir(directory).entryList({u'*' + QStringLiteral(".") + ProjectPackage::fileExtension},
                                  QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : packages) {
        const QString id = QFileInfo(name).completeBaseName();
        const bool listed = std::any_of(entries.cbegin(), entries.cend(),
                                        [&](const RecoveryStore::Entry& e) { return e.id == id; });
        if (!listed)
            entries.append({id, QString(), RecoveryStore::tr("Untitled"),
                            QFileInfo(directory + u'/' + name).lastModified()});
    }
    entries.removeIf([&](const RecoveryStore::Entry& entry) {
        return !QFileInfo(directory + u'/' + packageName(entry.id)).isDir();
    });
    return entries;
}

std::unique_ptr<QLockFile> claim(const QString& directory) {
    auto lock = std::make_unique<QLockFile>(directory + u'/' + lockFileName);
    // A running Kestrin never refreshes its lock: only a lock whose process is gone is stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// Removes a session this process holds the lock of once no copy is left in it; nothing happens
// without the lock (the session of a Kestrin that is still running).
void removeIfEmpty(const QString& directory, std::unique_ptr<QLockFile> lock) {
    if (!lock)
        return;
    lock.reset();
    if (entriesOnDisk(directory).isEmpty())
        QDir(directory).removeRecursively();
}

} // namespace

struct RecoveryStore::ClaimedSession {
    QString directory;
    std::unique_ptr<QLockFile> lock;
};

RecoveryStore::RecoveryStore(QString rootDirectory) : root(std::move(rootDirectory)) {
    session = root + u'/' + newID();
    QDir().mkpath(session);
    lock = claim(session);
}

// A claimed session goes once no copy in it is left; this session once nothing is listed,
// together with any copy whose document closed while it was being written.
RecoveryStore::~RecoveryStore() {
    for (const auto& other : std::as_const(claimed))
        removeIfEmpty(other->directory, std::move(other->lock));
    lock.reset();
    if (entries().isEmpty())
        QDir(session).removeRecursively();
}

QString RecoveryStore::defaultRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

QString RecoveryStore::newID() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString RecoveryStore::packagePath(const QString& id) const {
    return session + u'/' + packageName(id);
}

QList<RecoveryStore::Entry> RecoveryStore::entries() const {
    return readIndex(session);
}

void RecoveryStore::record(const Entry& entry) {
    QList<Entry> listed = readIndex(session);
    listed.removeIf([&](const Entry& e) { return e.id == entry.id; });
    listed.append(entry);
    writeIndex(session, listed);
}

void RecoveryStore::discard(const QString& id) {
    QDir(packagePath(id)).removeRecursively();
    QList<Entry> listed = readIndex(session);
    if (listed.removeIf([&](const Entry& e) { return e.id == id; }) > 0)
        writeIndex(session, listed);
}

// Claiming a session takes synced writes (a stale lock is replaced under a second lock), so
// sessions without copies are not claimed here: there is nothing in them to offer.
QList<RecoveryStore::Leftover> RecoveryStore::leftovers() {
    QList<Leftover> found;
    for (const QString& directory : otherSessions()) {
        const QList<Entry> entries = entriesOnDisk(directory);
        if (entries.isEmpty() || (!isClaimed(directory) && !claimSession(directory)))
            continue;
        for (const Entry& entry : entries)
            found.append({entry, directory + u'/' + packageName(entry.id), directory});
    }
    return found;
}

void RecoveryStore::removeAbandonedSessions() {
    for (const QString& directory : otherSessions()) {
        if (!isClaimed(directory) && entriesOnDisk(directory).isEmpty())
            removeIfEmpty(directory, claim(directory));
    }
}

// Oldest first, without this process's own session.
QStringList RecoveryStore::otherSessions() const {
    QStringList directories;
    const QFileInfoList sessions =
        QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : sessions) {
        if (info.absoluteFilePath() != QFileInfo(session).absoluteFilePath())
            directories.append(info.absoluteFilePath());
    }
    return directories;
}

bool RecoveryStore::isClaimed(const QString& directory) const {
    return std::any_of(claimed.cbegin(), claimed.cend(),
                       [&](const auto& other) { return other->directory == directory; });
}

// False for the session of a Kestrin that is still running.
bool RecoveryStore::claimSession(const QString& directory) {
    std::unique_ptr<QLockFile> sessionLock = claim(directory);
    if (!sessionLock)
        return false;
    claimed.append(
        std::make_shared<ClaimedSession>(ClaimedSession{directory, std::move(sessionLock)}));
    return true;
}

bool RecoveryStore::adopt(const Leftover& leftover, const QString& id) {
    Entry entry = leftover.entry;
    entry.id = id;
    if (!QDir().rename(leftover.packagePath, packagePath(id)))
        return false;
    record(entry);
    discardLeftover(leftover);
    return true;
}

void RecoveryStore::discardLeftover(const Leftover& leftover) {
    QDir(leftover.packagePath).removeRecursively();
    QList<Entry> listed = readIndex(leftover.sessionDirectory);
    if (listed.removeIf([&](const Entry& e) { return e.id == leftover.entry.id; }) > 0)
        writeIndex(leftover.sessionDirectory, listed);
}
