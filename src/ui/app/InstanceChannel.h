#pragma once

#include <QLocalServer>
#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

class QLockFile;

// The local sockets through which copies of Kestrin of one user session talk, in the user's
// runtime folder. One Kestrin runs per session: a later launch hands its paths to it and
// ends. And a copy that is about to replace an installed binary asks the running copies of
// that binary to quit; each listens on a socket named after its binary's path and its pid.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // Listens for requests addressed to the copies of binaryPath; onQuitRequested runs for
    // each one. The requester waits until this process has gone.
    InstanceChannel(const QString& binaryPath, std::function<void()> onQuitRequested,
                    QObject* parent = nullptr);
    ~InstanceChannel() override;

    bool isListening() const { return server.isListening(); }

    // Asks every running copy of binaryPath to quit, then keeps the event loop running until
    // all of them have gone or the timeout has passed. True when none is left.
    static bool askToQuit(const QString& binaryPath, std::chrono::milliseconds timeout);

    static QString socketDirectory();

    enum class SessionRole {
        first,      // this is the session's Kestrin; later launches hand their paths to it
        handedOver, // the paths went to the Kestrin already running: this launch ends
        alone,      // a Kestrin runs but does not answer: this one carries on by itself
    };
    using OpenHandler = std::function<void(const QStringList& paths)>;

    // Becomes the Kestrin of the user session, or hands the paths (made absolute here) to
    // the one running. A socket left by a Kestrin that crashed is taken over.
    SessionRole joinSession(const QStringList& paths, OpenHandler onOpen,
                            std::chrono::milliseconds timeout);
    // Stops answering later launches and gives up the session, so that a copy started now
    // becomes the session's Kestrin (handing over to an installed copy).
    void leaveSession();

    static QString sessionSocketPath();

private:
    bool claimSession();
    static bool sendPaths(const QStringList& paths, std::chrono::milliseconds timeout);
    void receivePaths(QLocalSocket* connection);

    static QString socketPrefix(const QString& binaryPath);
    void answer(QLocalSocket* connection);

    QLocalServer server;
    std::function<void()> onQuitRequested;
    QLocalServer sessionServer;
    std::unique_ptr<QLockFile> sessionLock;
    OpenHandler onOpen;
};
