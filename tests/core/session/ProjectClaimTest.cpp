#include "ProjectClaim.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct ProjectClaimTest : ::testing::Test {
    QTemporaryDir folder;
    QString package = folder.filePath("Hero.pixel");

    void SetUp() override { ProjectPackage::writePackage(Sprite::blank(4, 4), package); }

    static Sprite drawn(PixelColor color) {
        Sprite sprite = Sprite::blank(4, 4);
        sprite.layers[0].cels[0] = Cel(4, 4, QList<quint32>(16, color.raw));
        return sprite;
    }
};

} // namespace

TEST_F(ProjectClaimTest, AnotherWriterIsNoticedAndOwnSavesAreNot) {
    ASSERT_EQ(ProjectLock::acquire(package).outcome, ProjectLock::Outcome::acquired);
    ProjectClaim claim;
    claim.follow(package + "/project.json", false);
    EXPECT_EQ(claim.project(), QFileInfo(package).canonicalFilePath());
    QSignalSpy changed(&claim, &ProjectClaim::changedElsewhere);

    // This window's own save: the lock comes back into the new package, nothing is reported.
    ProjectPackage::writePackage(drawn(PixelColor(0xFF0000FF)), package);
    claim.wrote(package);
    EXPECT_FALSE(claim.changedOnDisk());
    EXPECT_TRUE(ProjectLock::holder(package)->isSameProcess(ProjectLock::currentProcess()));
    EXPECT_FALSE(changed.wait(int(PackageWatcher::settleTime.count()) * 3));

    // Another application's save is noticed, once, and stays noticed until accepted.
    ProjectPackage::writePackage(drawn(PixelColor(0xFF00FF00)), package);
    EXPECT_TRUE(claim.changedOnDisk());
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_FALSE(changed.wait(int(PackageWatcher::settleTime.count()) * 3));
    EXPECT_EQ(changed.count(), 1);
    claim.acceptDisk();
    EXPECT_FALSE(claim.changedOnDisk());

    // A deleted project is nothing to overwrite.
    QDir(package).removeRecursively();
    EXPECT_FALSE(claim.changedOnDisk());

    ProjectPackage::writePackage(Sprite::blank(4, 4), package);
    claim.wrote(package);
    claim.release();
    EXPECT_FALSE(ProjectLock::exists(package));
}

TEST_F(ProjectClaimTest, ReadOnlyClaimLeavesTheHoldersLockAlone) {
    ProjectLock::Holder other = ProjectLock::currentProcess();
    other.pid = ::getppid();
    ASSERT_EQ(ProjectLock::acquire(package, other).outcome, ProjectLock::Outcome::acquired);
    {
        ProjectClaim claim;
        claim.follow(package, true);
        EXPECT_TRUE(claim.isReadOnly());
    }
    ASSERT_TRUE(ProjectLock::holder(package));
    EXPECT_TRUE(ProjectLock::holder(package)->isSameProcess(other));

    // Saved as another project, the window holds that one's lock and is no longer read-only.
    const QString copy = folder.filePath("Copy.pixel");
    ProjectClaim claim;
    claim.follow(package, true);
    ProjectPackage::writePackage(Sprite::blank(4, 4), copy);
    claim.wrote(copy);
    EXPECT_FALSE(claim.isReadOnly());
    EXPECT_TRUE(ProjectLock::holder(copy)->isSameProcess(ProjectLock::currentProcess()));
    EXPECT_TRUE(ProjectLock::holder(package)->isSameProcess(other));
}
