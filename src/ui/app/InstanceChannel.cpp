#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

const QByteArray quitRequest = QByteArrayLiteral("quit\n");

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
    while (!allClosed(connections) && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
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
