#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A later launch, in a thread of its own: the first Kestrin answers from this one's loop.
std::future<InstanceChannel::SessionRole> launchLater(const QStringList& paths) {
    return std::async(std::launch::async, [paths] {
        InstanceChannel later(QStringLiteral("/later/kestrin"), [] {});
        return later.joinSession(
            paths, [](const QStringList&) {}, 5s);
    });
}

InstanceChannel::SessionRole waitFor(std::future<InstanceChannel::SessionRole>& result) {
    while (result.wait_for(10ms) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

} // namespace

TEST(InstanceChannelTest, LaterLaunchesHandTheirPathsToTheFirst) {
    // A socket left by a Kestrin that crashed is taken over.
    QDir().mkpath(InstanceChannel::socketDirectory());
    QFile stale(InstanceChannel::sessionSocketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    QList<QStringList> received;
    {
        InstanceChannel first(QStringLiteral("/first/kestrin"), [] {});
        EXPECT_EQ(first.joinSession(
                      {}, [&](const QStringList& paths) { received.append(paths); }, 5s),
                  InstanceChannel::SessionRole::first);

        const QStringList paths{QStringLiteral("/tmp/my hérö 🐦.pixel"),
                                QStringLiteral("relative.pixel")};
        auto later = launchLater(paths);
        EXPECT_EQ(waitFor(later), InstanceChannel::SessionRole::handedOver);
        QTRY_COMPARE(received.size(), 1);
        EXPECT_EQ(received[0][0], paths[0]);
        EXPECT_EQ(received[0][1], QDir::current().absoluteFilePath("relative.pixel"));

        auto empty = launchLater({});
        EXPECT_EQ(waitFor(empty), InstanceChannel::SessionRole::handedOver);
        QTRY_COMPARE(received.size(), 2);
        EXPECT_TRUE(received[1].isEmpty());
    }
    // Once the first has gone, the next launch is first itself.
    auto next = launchLater({});
    EXPECT_EQ(waitFor(next), InstanceChannel::SessionRole::first);
}
