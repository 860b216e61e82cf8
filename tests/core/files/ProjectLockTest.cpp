#include "ProjectLock.h"
#include "PackageTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrin::test;

namespace {

struct ProjectLockTest : ::testing::Test {
    QTemporaryDir folder;
    QString package = folder.filePath("Hero.pixel");
    ProjectLock::Holder me = ProjectLock::currentProcess();

    void SetUp() override { ProjectPackage::writePackage(Sprite::blank(4, 4), package); }

    // Another Kestrin on this host that is running: the parent of this test.
    ProjectLock::Holder otherRunning() const {
        ProjectLock::Holder other = me;
        other.user = "ana";
        other.pid = ::getppid();
        return other;
    }

    void writeLock(const QByteArray& bytes) {
        QFile file(package + '/' + ProjectLock::fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
};

// A process id that was in use a moment ago and is free now.
qint64 finishedPid() {
    QProcess process;
    process.start("sleep", {"0.1"});
    EXPECT_TRUE(process.waitForStarted());
    const qint64 pid = process.processId();
    EXPECT_TRUE(process.waitForFinished());
    return pid;
}

} // namespace

TEST_F(ProjectLockTest, OneHolderAtATimeUntilItReleases) {
    const ProjectLock::Result first = ProjectLock::acquire(package, me);
    EXPECT_EQ(first.outcome, ProjectLock::Outcome::acquired);
    ASSERT_TRUE(ProjectLock::holder(package));
    EXPECT_TRUE(ProjectLock::holder(package)->isSameProcess(me));
    // Taking it again is harmless; the package still opens with the lock inside.
    EXPECT_EQ(ProjectLock::acquire(package, me).outcome, ProjectLock::Outcome::acquired);
    EXPECT_NO_THROW(ProjectPackage::readPackage(package));

    const ProjectLock::Result second = ProjectLock::acquire(package, otherRunning());
    EXPECT_EQ(second.outcome, ProjectLock::Outcome::heldByOther);
    ASSERT_TRUE(second.holder);
    EXPECT_TRUE(second.holder->isSameProcess(me));

    // Only the holder's release counts.
    ProjectLock::release(package, otherRunning());
    EXPECT_TRUE(ProjectLock::exists(package));
    ProjectLock::release(package, me);
    EXPECT_FALSE(ProjectLock::exists(package));
    EXPECT_EQ(ProjectLock::acquire(package, otherRunning()).outcome,
              ProjectLock::Outcome::acquired);
}

TEST_F(ProjectLockTest, StaleLocksOfThisHostAreTakenOverOthersAreNot) {
    ProjectLock::Holder crashed = otherRunning();
    crashed.pid = finishedPid();
    ASSERT_GT(crashed.pid, 0);
    ASSERT_EQ(ProjectLock::acquire(package, crashed).outcome, ProjectLock::Outcome::acquired);
    EXPECT_TRUE(ProjectLock::isStale(crashed, me));
    EXPECT_EQ(ProjectLock::acquire(package, me).outcome, ProjectLock::Outcome::acquired);
    EXPECT_TRUE(ProjectLock::holder(package)->isSameProcess(me));
    ProjectLock::release(package, me);

    // Another machine's processes cannot be checked from here: its lock holds.
    ProjectLock::Holder remote = crashed;
    remote.host = "studio-" + me.host;
    ASSERT_EQ(ProjectLock::acquire(package, remote).outcome, ProjectLock::Outcome::acquired);
    const ProjectLock::Result refused = ProjectLock::acquire(package, me);
    EXPECT_EQ(refused.outcome, ProjectLock::Outcome::heldByOther);
    EXPECT_EQ(refused.holder->host, remote.host);
    EXPECT_FALSE(QDir(package).entryList({"*.stale-*"}, QDir::Hidden | QDir::Files).size());
}

TEST_F(ProjectLockTest, UnreadableLocksCountAsHeldBySomeoneUnknown) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("not json"),
                                    QByteArray(R"({"host":"","pid":0})"), QByteArray(8192, '{')}) {
        writeLock(bytes);
        const ProjectLock::Result result = ProjectLock::acquire(package, me);
        EXPECT_EQ(result.outcome, ProjectLock::Outcome::heldByOther) << bytes.left(20).data();
        EXPECT_FALSE(result.holder);
        // Releasing never deletes a lock that is not provably ours.
        ProjectLock::release(package, me);
        EXPECT_TRUE(ProjectLock::exists(package));
    }
    // A pipe planted as the lock is not read (that would block) and not taken.
    QFile::remove(package + '/' + ProjectLock::fileName);
    ASSERT_EQ(::mkfifo(QFile::encodeName(package + '/' + ProjectLock::fileName), 0600), 0);
    EXPECT_EQ(ProjectLock::acquire(package, me).outcome, ProjectLock::Outcome::heldByOther);
}

TEST_F(ProjectLockTest, ReadOnlyOrMissingPackagesCannotBeLocked) {
    EXPECT_EQ(ProjectLock::acquire(folder.filePath("Missing.pixel"), me).outcome,
              ProjectLock::Outcome::unavailable);
    // Even the super-user cannot create files in /proc.
    EXPECT_EQ(ProjectLock::acquire("/proc/self", me).outcome, ProjectLock::Outcome::unavailable);
}
