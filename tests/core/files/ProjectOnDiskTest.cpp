#include "PackageFingerprint.h"
#include "PackageTestSupport.h"
#include "PackageWriter.h"
#include "ProjectLocation.h"
#include "ProjectLock.h"
#include "SaveLeftovers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kestrin::test;

namespace {

struct ProjectOnDisk : ::testing::Test {
    QTemporaryDir folder;
    QString package = folder.filePath("Hero.pixel");

    QString at(const QString& name) const { return folder.filePath(name); }

    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QStringList hiddenEntries() const {
        return QDir(folder.path())
            .entryList({".*"},
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(ProjectOnDisk, EverySpellingOfAProjectIsOnePath) {
    ProjectPackage::writePackage(Sprite::blank(2, 2), package);
    ASSERT_TRUE(QFile::link(package, at("Link.pixel")));
    const QString real = QFileInfo(package).canonicalFilePath();
    for (const QString& spelling :
         {package, package + "/", package + "//", package + "/project.json", at("Link.pixel"),
          at("Link.pixel/"), at("Link.pixel/project.json"), at("sub/../Hero.pixel")})
        EXPECT_EQ(ProjectLocation::canonical(spelling), real) << spelling.toStdString();
    // A link pointing nowhere leads to where it points.
    ASSERT_TRUE(QFile::link(at("Gone.pixel"), at("Dangling.pixel")));
    EXPECT_EQ(ProjectLocation::canonical(at("Dangling.pixel")), at("Gone.pixel"));
    EXPECT_TRUE(ProjectLocation::existsOrLinks(at("Dangling.pixel")));
}

TEST_F(ProjectOnDisk, OnlyProjectsAreReplacedAndLinksAreWrittenThrough) {
    // A folder and a file that are not projects are refused and left exactly as they were.
    QDir().mkpath(at("Photos.pixel"));
    writeFile(at("Photos.pixel/holiday.jpg"), "jpeg");
    writeFile(at("Notes.pixel"), "my notes");
    for (const QString& target : {at("Photos.pixel"), at("Notes.pixel")})
        expectPackageError([&] { ProjectPackage::writePackage(Sprite::blank(2, 2), target); },
                           PackageError::fileWriteUnknown);
    EXPECT_TRUE(QFile::exists(at("Photos.pixel/holiday.jpg")));
    QFile notes(at("Notes.pixel"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "my notes");
    EXPECT_TRUE(hiddenEntries().isEmpty()) << hiddenEntries().join(", ").toStdString();

    // Saving through a link writes the project it points to, and the link stays a link.
    const Sprite first = paintedSprite(5, 5, 1, 1, 3);
    const Sprite second = paintedSprite(5, 5, 2, 1, 4);
    ProjectPackage::writePackage(first, package);
    ASSERT_TRUE(QFile::link(package, at("Link.pixel")));
    for (auto method : {PackageWriter::SwapMethod::exchange, PackageWriter::SwapMethod::renames}) {
        PackageWriter::write(ProjectPackage::fileWrapper(second), at("Link.pixel"), method);
        EXPECT_TRUE(QFileInfo(at("Link.pixel")).isSymLink());
        EXPECT_EQ(ProjectPackage::readPackage(package), second);
        PackageWriter::write(ProjectPackage::fileWrapper(first), at("Link.pixel"), method);
        EXPECT_EQ(ProjectPackage::readPackage(package), first);
    }
}

TEST_F(ProjectOnDisk, FingerprintFollowsTheDrawingNotTheLockOrPreview) {
    EXPECT_TRUE(PackageFingerprint::of(package).isEmpty());
    ProjectPackage::writePackage(paintedSprite(5, 5, 1, 2, 8), package);
    const QByteArray read = PackageFingerprint::of(package);
    ASSERT_FALSE(read.isEmpty());
    EXPECT_EQ(PackageFingerprint::of(package), read);

    ProjectLock::acquire(package);
    writeFile(package + "/preview.png", "changed preview");
    EXPECT_EQ(PackageFingerprint::of(package), read);

    // Another application rewriting one cel, or the manifest.
    writeFile(package + "/layers/layer_0_frame_0.png", pngOf(QImage(5, 5, QImage::Format_ARGB32)));
    const QByteArray celChanged = PackageFingerprint::of(package);
    EXPECT_NE(celChanged, read);
    writeFile(package + "/project.json", "{}");
    EXPECT_NE(PackageFingerprint::of(package), celChanged);
}

TEST_F(ProjectOnDisk, LeftoversOfInterruptedSavesGoOnceTheProjectIsWhole) {
    const Sprite sprite = paintedSprite(4, 4, 1, 1, 5);
    ProjectPackage::writePackage(sprite, package);
    // A save killed while writing, one killed after the swap, and one of another project.
    QDir().mkpath(at(".Hero.pixel.saving-00000000000000a1/layers"));
    writeFile(at(".Hero.pixel.saving-00000000000000a1/layers/layer_0_frame_0.png"), "half");
    ProjectPackage::writePackage(sprite, at(".Hero.pixel.old-00000000000000b2"));
    ProjectPackage::writePackage(sprite, at(".Other.pixel.saving-00000000000000c3"));
    // A leftover that is a link: the link goes, never what it points to.
    ProjectPackage::writePackage(sprite, at("Keep.pixel"));
    ASSERT_TRUE(QFile::link(at("Keep.pixel"), at(".Hero.pixel.old-00000000000000d4")));
    EXPECT_EQ(SaveLeftovers::find(package).size(), 3);

    EXPECT_EQ(SaveLeftovers::tidy(package).removed, 3);
    EXPECT_EQ(hiddenEntries(), QStringList{".Other.pixel.saving-00000000000000c3"});
    EXPECT_EQ(ProjectPackage::readPackage(package), sprite);
    EXPECT_EQ(ProjectPackage::readPackage(at("Keep.pixel")), sprite);
    EXPECT_EQ(SaveLeftovers::tidy(package).removed, 0);
}

TEST_F(ProjectOnDisk, MissingProjectComesBackFromTheNewestWholeLeftover) {
    // A kill between the two renames of a save: the old package moved aside, the new one
    // finished but not yet in place.
    const Sprite old = paintedSprite(4, 4, 1, 1, 6);
    const Sprite saved = paintedSprite(4, 4, 2, 1, 7);
    ProjectPackage::writePackage(old, at(".Hero.pixel.old-0000000000000001"));
    ProjectPackage::writePackage(saved, at(".Hero.pixel.saving-0000000000000002"));
    const SaveLeftovers::Outcome outcome = SaveLeftovers::tidy(package);
    EXPECT_TRUE(outcome.restored);
    EXPECT_EQ(outcome.removed, 1);
    EXPECT_EQ(ProjectPackage::readPackage(package), saved);
    EXPECT_TRUE(hiddenEntries().isEmpty());

    // Killed while writing the new package: only the old one is whole.
    QDir(package).removeRecursively();
    ProjectPackage::writePackage(old, at(".Hero.pixel.old-0000000000000003"));
    QDir().mkpath(at(".Hero.pixel.saving-0000000000000004/layers"));
    EXPECT_TRUE(SaveLeftovers::tidy(package).restored);
    EXPECT_EQ(ProjectPackage::readPackage(package), old);
    EXPECT_TRUE(hiddenEntries().isEmpty());

    // Leftovers stay while the project itself is broken.
    writeFile(package + "/project.json", "{ broken");
    ProjectPackage::writePackage(old, at(".Hero.pixel.old-0000000000000005"));
    const SaveLeftovers::Outcome kept = SaveLeftovers::tidy(package);
    EXPECT_FALSE(kept.restored);
    EXPECT_EQ(kept.removed, 0);
    EXPECT_EQ(hiddenEntries().size(), 1);
}
