#pragma once

#include <QLocalServer>
#include <QObject>
#include <chrono>
#include <functional>

// Lets a copy of Kestrin that is about to replace an installed binary ask the running copies
// of that binary to quit. Each running copy listens on a local socket in the user's runtime
// folder, named after its binary's path and its process id.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // Listens for requests addressed to the copies of binaryPath; onQuitRequested runs for
    // each one. The requester waits until this process has gone.
    InstanceChannel(const QString& binaryPath, std::function<void()> onQuitRequested,
                    QObject* parent = nullptr);

    bool isListening() const { return server.isListening(); }

    // Asks every running copy of binaryPath to quit, then keeps the event loop running until
    // all of them have gone or the timeout has passed. True when none is left.
    static bool askToQuit(const QString& binaryPath, std::chrono::milliseconds timeout);

    static QString socketDirectory();

private:
    static QString socketPrefix(const QString& binaryPath);
    void answer(QLocalSocket* connection);

    QLocalServer server;
    std::function<void()> onQuitRequested;
};
