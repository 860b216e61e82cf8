#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

// A later launch runs in a thread of its own, so the first Kestrin answers from this one's loop.
TEST(InstanceChannelTest, LaterLaunchesHandTheirPathsToTheFirst) {
    const auto launchLater = [](const QStringList& paths) {
        auto result = std::async(std::launch::async, [paths] {
            InstanceChannel later(QStringLiteral("/later/kestrin"), [] {});
            return later.joinSession(
                paths, [](const QStringList&) {}, 5s);
        });
        while (result.wait_for(10ms) != std::future_status::ready)
            QCoreApplication::processEvents();
        return result.get();
    };
    // A socket left by a Kestrin that crashed is taken over.
    QDir().mkpath(InstanceChannel::socketDirectory());
    QFile stale(InstanceChannel::sessionSocketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    QList<QStringList> received;
    {
        InstanceChannel first(QStringLiteral("/first/kestrin"), [] {});
        EXPECT_EQ(first.joinSession(
                      {}, [&](const QStringList& paths) { received << paths; }, 5s),
                  InstanceChannel::SessionRole::first);
        const QStringList paths{QStringLiteral("/tmp/my hérö 🐦.pixel"),
                                QStringLiteral("relative.pixel")};
        EXPECT_EQ(launchLater(paths), InstanceChannel::SessionRole::handedOver);
        QTRY_COMPARE(received.size(), 1);
        EXPECT_EQ(received[0][0], paths[0]);
        EXPECT_EQ(received[0][1], QDir::current().absoluteFilePath("relative.pixel"));
    }
    // Once the first has gone, the next launch is first itself.
    EXPECT_EQ(launchLater({}), InstanceChannel::SessionRole::first);
}
