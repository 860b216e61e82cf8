#include "CelPng.h"
#include "ExportTestSupport.h"
#include "PackageTestSupport.h"
#include "PackageWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace kestrin::test;

namespace {

struct PackageOnDisk : ::testing::Test {
    QTemporaryDir folder;
    QString path = folder.filePath("Hero.pixel");

    // Everything in the folder, hidden entries included, as sorted relative paths.
    QStringList contents() const {
        QStringList names;
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names.append(QDir(folder.path()).relativeFilePath(it.next()));
        names.sort();
        return names;
    }

    void writeFile(const QString& relative, const QByteArray& bytes) {
        QFile file(folder.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST_F(PackageOnDisk, SavingReplacesThePackageWholeAndLeavesNothingBehind) {
    const Sprite first = paintedSprite(9, 7, 2, 2, 11);
    ProjectPackage::writePackage(first, path);
    EXPECT_EQ(contents(), (QStringList{"Hero.pixel", "Hero.pixel/layers",
                                       "Hero.pixel/layers/layer_0_frame_0.png",
                                       "Hero.pixel/layers/layer_1_frame_1.png",
                                       "Hero.pixel/preview.png", "Hero.pixel/project.json"}));
    EXPECT_EQ(ProjectPackage::readPackage(path), first);

    // A second save with other cels: the old cel files do not linger.
    for (auto method : {PackageWriter::SwapMethod::exchange, PackageWriter::SwapMethod::renames}) {
        Sprite second = paintedSprite(9, 7, 1, 1, 12);
        second.layers[0].name = method == PackageWriter::SwapMethod::exchange ? "A" : "B";
        PackageWriter::write(ProjectPackage::fileWrapper(second), path, method);
        EXPECT_EQ(ProjectPackage::readPackage(path), second);
        EXPECT_EQ(contents().size(), 5) << contents().join(", ").toStdString();
    }
}

TEST_F(PackageOnDisk, HostileFilesAreRefusedWithoutBlockingOrReadingThem) {
    Sprite sprite = Sprite::blank(4, 4);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0]->fill(0xFF0000FF);
    const QString cel = path + "/layers/layer_0_frame_0.png";

    const auto freshPackage = [&] {
        QDir(path).removeRecursively();
        ProjectPackage::writePackage(sprite, path);
        QFile::remove(cel);
    };
    const auto corrupt = [&](const char* what) {
        SCOPED_TRACE(what);
        expectPackageError([&] { ProjectPackage::readPackage(path); },
                           PackageError::fileReadCorruptFile);
    };

    freshPackage();
    ASSERT_EQ(::mkfifo(QFile::encodeName(cel).constData(), 0600), 0);
    corrupt("cel is a FIFO");

    freshPackage();
    writeFile("outside.png", CelPng::encode(*sprite.cel(0, 0)));
    ASSERT_TRUE(QFile::link(folder.filePath("outside.png"), cel));
    corrupt("cel is a link");

    freshPackage();
    ASSERT_TRUE(QFile(cel).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(cel).resize(qint64(1) << 40)); // sparse: a terabyte that takes no space
    corrupt("cel file far larger than any PNG of the canvas");

    freshPackage();
    QDir(path).removeRecursively();
    ProjectPackage::writePackage(sprite, path);
    ASSERT_TRUE(QFile(path + "/layers/junk.bin").open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(path + "/layers/junk.bin").resize(qint64(1) << 40));
    EXPECT_EQ(ProjectPackage::readPackage(path), sprite) << "unreferenced files are not read";

    QDir(path).removeRecursively();
    writeFile("Hero.pixel", "{}");
    corrupt("package is a file");

    QFile::remove(path);
    QDir().mkpath(path);
    writeFile("Hero.pixel/project.json", "{\"version\": 2}");
    EXPECT_TRUE(messageOf<PackageError>([&] {
                    ProjectPackage::readPackage(path);
                }).contains("\"width\" is missing"));

    expectPackageError([&] { ProjectPackage::readPackage(folder.filePath("Nowhere.pixel")); },
                       PackageError::fileReadNoSuchFile);
}

TEST(PackageError, EachSystemFailureNamesItsCause) {
    const QString space = "The file couldn't be saved because there isn't enough space.";
    const QString permission = "The file couldn't be saved because you don't have permission.";
    const QString saved = "The file couldn't be saved.";
    const QString missing = "The file couldn't be opened because there is no such file.";
    const QString unreadable =
        "The file couldn't be opened because you don't have permission to view it.";
    const QString opened = "The file couldn't be opened.";
    const QList<std::tuple<bool, int, QString>> cases = {
        {true, ENOSPC, space},    {true, EROFS, permission},   {true, EIO, saved},
        {false, ENOENT, missing}, {false, EACCES, unreadable}, {false, EIO, opened},
    };
    for (const auto& [writing, error, summary] : cases) {
        const PackageError failure =
            writing ? PackageError::fromWriteErrno(error, "Could not write \"x\"")
                    : PackageError::fromReadErrno(error, "Could not read \"x\"");
        EXPECT_EQ(failure.message(), summary + (writing ? " Could not write" : " Could not read") +
                                         " \"x\": " + std::strerror(error) + '.')
            << std::strerror(error);
    }
}

// Running as the super-user, permissions do not deny; creating anything in /sys still does.
// A file-size limit makes a real write fail half-way, as a full disk would.
TEST_F(PackageOnDisk, FailedSavesSayWhyAndKeepTheOldPackage) {
    expectPackageError(
        [] { ProjectPackage::writePackage(Sprite::blank(2, 2), "/sys/kestrin-test.pixel"); },
        PackageError::fileWriteNoPermission,
        "The file couldn't be saved because you don't have permission. Could not create");
    EXPECT_FALSE(QFileInfo::exists("/sys/kestrin-test.pixel"));

    const Sprite old = paintedSprite(4, 4, 1, 1, 1);
    ProjectPackage::writePackage(old, path);
    const QStringList before = contents();
    {
        const FileSizeLimit limit(4096);
        expectPackageError(
            [&] { ProjectPackage::writePackage(paintedSprite(64, 64, 2, 1, 2), path); },
            PackageError::fileWriteUnknown, "The file couldn't be saved. Could not write");
    }
    PackageTree broken = ProjectPackage::fileWrapper(paintedSprite(4, 4, 1, 1, 2));
    broken.insert("zz/bad", PackageTree::file("x")); // fails half-way through the new tree
    expectPackageError([&] { PackageWriter::write(broken, path); }, PackageError::fileWriteUnknown);
    Sprite unsaveable = old; // fails while encoding
    unsaveable.layers[0].cels[0] = Cel(3, 3, QList<quint32>(9, 0xFF000000));
    expectPackageError([&] { ProjectPackage::writePackage(unsaveable, path); },
                       PackageError::fileWriteUnknown);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(ProjectPackage::readPackage(path), old);
    expectPackageError(
        [&] { ProjectPackage::writePackage(old, folder.filePath("missing/Hero.pixel")); },
        PackageError::fileWriteUnknown);
}
