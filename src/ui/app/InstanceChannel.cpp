#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QByteArray quitRequest = QByteArrayLiteral("quit\n");
// "open" and a JSON array of absolute paths on one line; answered with "opened".
const QByteArray openRequest = QByteArrayLiteral("open ");
const QByteArray openedAnswer = QByteArrayLiteral("opened\n");
constexpr std::chrono::milliseconds retryInterval(100);

void pause(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

using Connections = std::vector<std::unique_ptr<QLocalSocket>>;

// Connects to every socket with the prefix; a socket nobody answers on is a leftover of a
// copy that did not exit cleanly and is removed.
Connections connectToAll(const QDir& directory, const QString& prefix) {
    Connections connections;
    const QStringList names = directory.entryList({prefix + QStringLiteral("-*")},
                                                  QDir::System | QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = directory.filePath(name);
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(path);
        if (socket->waitForConnected(1000))
            connections.push_back(std::move(socket));
        else if (socket->error() != QLocalSocket::SocketTimeoutError)
            QFile::remove(path);
    }
    return connections;
}

bool allClosed(const Connections& connections) {
    return std::all_of(connections.cbegin(), connections.cend(), [](const auto& socket) {
        return socket->state() == QLocalSocket::UnconnectedState;
    });
}

} // namespace

InstanceChannel::InstanceChannel(const QString& binaryPath, std::function<void()> onQuitRequested,
                                 QObject* parent)
    : QObject(parent), onQuitRequested(std::move(onQuitRequested)) {
    const QString path = socketDirectory() + u'/' + socketPrefix(binaryPath) + u'-' +
                         QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(socketDirectory());
    QLocalServer::removeServer(path);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    server.listen(path);
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* connection = server.nextPendingConnection())
            answer(connection);
    });
}

// The connection stays open on purpose: the requester learns that this copy has quit when it
// closes with the process.
void InstanceChannel::answer(QLocalSocket* connection) {
    connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
        if (connection->canReadLine() && connection->readLine() == quitRequest && onQuitRequested)
            onQuitRequested();
    });
}

bool InstanceChannel::askToQuit(const QString& binaryPath, std::chrono::milliseconds timeout) {
    Connections connections = connectToAll(QDir(socketDirectory()), socketPrefix(binaryPath));
    for (const auto& socket : connections) {
        socket->write(quitRequest);
        socket->flush();
    }
    const QDeadlineTimer deadline(timeout);
    while (!allClosed(connections) && !deadline.hasExpired())
        pause(retryInterval);
    return allClosed(connections);
}

QString InstanceChannel::socketDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/kestrin");
}

QString InstanceChannel::socketPrefix(const QString& binaryPath) {
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(binaryPath).toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(hash.toHex().left(16));
}

InstanceChannel::~InstanceChannel() {
    leaveSession();
}

QString InstanceChannel::sessionSocketPath() {
    return socketDirectory() + QStringLiteral("/session");
}

InstanceChannel::SessionRole InstanceChannel::joinSession(const QStringList& paths,
                                                          OpenHandler handler,
                                                          std::chrono::milliseconds timeout) {
    onOpen = std::move(handler);
    QStringList absolute;
    for (const QString& path : paths)
        absolute.append(QFileInfo(path).absoluteFilePath());
    // The running Kestrin may be starting (not listening yet) or ending (the session about to
    // be free): both are tried until one works.
    const QDeadlineTimer deadline(timeout);
    while (true) {
        if (claimSession())
            return SessionRole::first;
        if (sendPaths(absolute, retryInterval * 10))
            return SessionRole::handedOver;
        if (deadline.hasExpired())
            return SessionRole::alone;
        pause(retryInterval);
    }
}

// The lock decides who is first; the socket of a Kestrin that crashed is removed by the one
// that holds the lock next.
bool InstanceChannel::claimSession() {
    QDir().mkpath(socketDirectory());
    auto lock = std::make_unique<QLockFile>(sessionSocketPath() + QStringLiteral(".lock"));
    lock->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!lock->tryLock(0))
        return false;
    QLocalServer::removeServer(sessionSocketPath());
    sessionServer.setSocketOptions(QLocalServer::UserAccessOption);
    if (!sessionServer.listen(sessionSocketPath()))
        return false;
    sessionLock = std::move(lock);
    connect(&sessionServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* connection = sessionServer.nextPendingConnection())
            receivePaths(connection);
    });
    return true;
}

void InstanceChannel::leaveSession() {
    if (!sessionLock)
        return;
    sessionServer.close();
    sessionLock.reset();
}

void InstanceChannel::receivePaths(QLocalSocket* connection) {
    connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
    connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
        if (!connection->canReadLine())
            return;
        const QByteArray line = connection->readLine();
        if (!line.startsWith(openRequest))
            return connection->disconnectFromServer();
        QStringList paths;
        for (const QJsonValue& value :
             QJsonDocument::fromJson(line.mid(openRequest.size())).array())
            paths.append(value.toString());
        connection->write(openedAnswer);
        connection->flush();
        // Opening may ask questions: the launch that sent the paths does not wait for them.
        QMetaObject::invokeMethod(
            this,
            [this, paths] {
                if (onOpen)
                    onOpen(paths);
            },
            Qt::QueuedConnection);
    });
}

bool InstanceChannel::sendPaths(const QStringList& paths, std::chrono::milliseconds timeout) {
    QLocalSocket socket;
    socket.connectToServer(sessionSocketPath());
    if (!socket.waitForConnected(int(timeout.count())))
        return false;
    socket.write(openRequest +
                 QJsonDocument(QJsonArray::fromStringList(paths)).toJson(QJsonDocument::Compact) +
                 '\n');
    if (!socket.waitForBytesWritten(int(timeout.count())))
        return false;
    const QDeadlineTimer deadline(timeout);
    while (!socket.canReadLine() && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
    }
    return socket.canReadLine() && socket.readLine() == openedAnswer;
}
