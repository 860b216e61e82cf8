#include "CelPng.h"
#include "LibpngDecoder.h"
#include "PackageMemory.h"
#include "PackageTestSupport.h"
#include "PackageWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QMap>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace kestrin::test;

namespace {

struct PackageReuse : ::testing::Test {
    QTemporaryDir folder;
    QString path = folder.filePath("Reused.pixel");

    // Each file of the package (cels and preview) by name, with the inode holding it: a file
    // carried over by a link keeps its inode, a file written again gets a new one.
    QMap<QString, quint64> inodes() const {
        QMap<QString, quint64> result;
        QStringList names;
        for (const QString& name : QDir(path + "/layers").entryList(QDir::Files))
            names.append("layers/" + name);
        names.append("preview.png");
        for (const QString& name : names) {
            struct stat status {};
            if (::stat(QFile::encodeName(path + '/' + name).constData(), &status) == 0)
                result.insert(name, status.st_ino);
        }
        return result;
    }

    static QStringList rewritten(const QMap<QString, quint64>& before,
                                 const QMap<QString, quint64>& after) {
        QStringList names;
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (before.value(it.key()) != it.value())
                names.append(it.key());
        }
        return names;
    }

    // Every cel file read by libpng, against the sprite that was saved. (Opening the package
    // would make the opened sprite the one whose cels the next save recognises.)
    void expectOnDisk(const Sprite& sprite) {
        const QJsonArray layers =
            manifestObject(ProjectPackage::fileWrapper(sprite))["layers"].toArray();
        for (qint64 l = 0; l < layers.size(); ++l) {
            for (const QJsonValue reference : layers[l].toObject()["cels"].toArray()) {
                QFile file(path + '/' + reference.toObject()["file"].toString());
                ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
                const qint64 frame = reference.toObject()["frame"].toInteger();
                EXPECT_EQ(libpngWords(file.readAll(), sprite.width, sprite.height),
                          sprite.celPointer(l, frame)->words());
            }
        }
    }
};

} // namespace

TEST_F(PackageReuse, ASaveAfterOneCelChangedRewritesExactlyThatCel) {
    const Sprite sprite = paintedSprite(40, 30, 3, 4, 3); // six painted cels
    ProjectPackage::writePackage(sprite, path);
    auto before = inodes();
    ASSERT_EQ(before.size(), 7);

    Sprite edited = sprite; // shares every cel's pixels until one is written
    edited.layers[1].cels[1]->setWordAt(5, edited.layers[1].cels[1]->wordAt(5) ^ 0x00FFFFFFu);
    ProjectPackage::writePackage(edited, path);
    auto after = inodes();
    EXPECT_EQ(rewritten(before, after), QStringList{"layers/layer_1_frame_1.png"});
    expectOnDisk(edited);

    // The first frame shows in the preview, so a change there redraws it too.
    before = after;
    edited.layers[0].cels[0]->setWordAt(0, 0xFF123456u);
    ProjectPackage::writePackage(edited, path);
    after = inodes();
    EXPECT_EQ(rewritten(before, after), (QStringList{"layers/layer_0_frame_0.png", "preview.png"}));
    expectOnDisk(edited);

    // A new layer below shifts every file name; no cel is encoded again.
    before = after;
    edited.layers.prepend(Layer("Under", edited.frames.size()));
    ProjectPackage::writePackage(edited, path);
    after = inodes();
    EXPECT_EQ(rewritten(before, after).filter("layers/"),
              (QStringList{"layers/layer_1_frame_0.png", "layers/layer_1_frame_2.png",
                           "layers/layer_2_frame_1.png", "layers/layer_2_frame_3.png",
                           "layers/layer_3_frame_0.png", "layers/layer_3_frame_2.png"}));
    const QList<quint64> oldFiles = before.values(), newFiles = after.values();
    EXPECT_EQ(QSet<quint64>(newFiles.begin(), newFiles.end()) -
                  QSet<quint64>(oldFiles.begin(), oldFiles.end()),
              QSet<quint64>{after.value("preview.png")}); // the preview alone is new
    expectOnDisk(edited);
    EXPECT_EQ(ProjectPackage::readPackage(path), edited);
}

TEST_F(PackageReuse, AnOpenedPackageCarriesOnlyCelsUnchangedOnDisk) {
    const Sprite sprite = paintedSprite(24, 16, 2, 3, 8);
    PackageWriter::write(ProjectPackage::fileWrapper(sprite), path); // nothing remembered
    Sprite opened = ProjectPackage::readPackage(path);
    auto before = inodes();
    opened.layers[1].cels[1]->setWordAt(0, 0u);
    ProjectPackage::writePackage(opened, path);
    // Nothing says what an opened preview was drawn from, so it is drawn again.
    EXPECT_EQ(rewritten(before, inodes()),
              (QStringList{"layers/layer_1_frame_1.png", "preview.png"}));
    expectOnDisk(opened);

    // Another program rewrites one cel in place and deletes another and the preview.
    QFile rewrittenCel(path + "/layers/layer_0_frame_0.png");
    ASSERT_TRUE(rewrittenCel.open(QIODevice::WriteOnly));
    rewrittenCel.write(CelPng::encode(Cel(24, 16, randomPixels(24 * 16, 1))));
    rewrittenCel.close();
    ASSERT_TRUE(QFile::remove(path + "/layers/layer_1_frame_1.png"));
    ASSERT_TRUE(QFile::remove(path + "/preview.png"));
    ProjectPackage::writePackage(opened, path);
    expectOnDisk(opened);
    EXPECT_TRUE(QFile::exists(path + "/preview.png"));
    EXPECT_EQ(ProjectPackage::readPackage(path), opened);
}

TEST_F(PackageReuse, IdenticalCelsAreStoredOnceAndOpenSharingTheirPixels) {
    Sprite sprite = paintedSprite(16, 12, 2, 3, 21);
    sprite.layers[0].cels[1] = sprite.layers[0].cels[0]; // a duplicated frame
    sprite.layers[1].cels[0] = sprite.layers[0].cels[0]; // and layer
    ProjectPackage::writePackage(sprite, path);
    EXPECT_EQ(QDir(path + "/layers").entryList(QDir::Files),
              (QStringList{"layer_0_frame_0.png", "layer_0_frame_2.png", "layer_1_frame_1.png"}));
    expectOnDisk(sprite);
    const Sprite opened = ProjectPackage::readPackage(path);
    EXPECT_TRUE(sharesPixels(*opened.celPointer(0, 0), *opened.celPointer(0, 1)));

    // Once one of them is painted on, it gets a file of its own.
    Sprite edited = opened;
    edited.layers[1].cels[0]->setWordAt(3, 0xFF00FF00u);
    ProjectPackage::writePackage(edited, path);
    EXPECT_EQ(QDir(path + "/layers").entryList(QDir::Files).size(), 4);
    expectOnDisk(edited);
    EXPECT_EQ(ProjectPackage::readPackage(path), edited);
}

// Straight words, never premultiplied (which would turn 0x80FF8000 into 0x80FF7F00), and a
// cel whose only pixel is barely visible is still saved.
TEST_F(PackageReuse, SavedCelsAreStraightPngsThatLibpngReads) {
    Sprite sprite = Sprite::blank(3, 2);
    sprite.layers[0].cels[0] =
        Cel(3, 2, {0x80FF8000, 0x01FFFFFF, 0xFF0000FF, 0x7F102030, 0, 0xFE00FF00});
    sprite.layers.append(Layer("Faint", 1));
    sprite.layers[1].cels[0] = Cel(3, 2, {0, 0, 0, 0, 0x01020304, 0});
    ProjectPackage::writePackage(sprite, path);
    EXPECT_EQ(QDir(path + "/layers").entryList(QDir::Files).size(), 2);
    expectOnDisk(sprite);
}
