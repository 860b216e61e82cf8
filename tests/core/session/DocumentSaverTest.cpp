#include "DocumentSaver.h"
#include "PackageError.h"
#include "PixelDocument.h"
#include "ProjectPackage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Noise does not compress: its cels take the writer a while.
Sprite noisy(qint64 side, qint64 layers) {
    Sprite sprite = Sprite::blank(side, side);
    QRandomGenerator random(7);
    for (qint64 l = 0; l < layers; ++l) {
        if (l > 0)
            sprite.layers.append(Layer(QStringLiteral("Layer %1").arg(l + 1), 1));
        QList<quint32> pixels(side * side);
        random.fillRange(pixels.data(), pixels.size());
        sprite.layers[l].cels[0] = Cel(side, side, pixels);
    }
    return sprite;
}

void rename(PixelDocument& document, const QString& name) {
    document.performStructuralEdit("Rename", nullptr,
                                   [&name](Sprite& sprite) { sprite.layers[0].name = name; });
}

} // namespace

TEST(DocumentSaver, WritesWhileTheDocumentIsEditedAndMarksSavedOnlyWhatItWrote) {
    QTemporaryDir folder;
    const QString package = folder.filePath("Hero.pixel");
    PixelDocument document(noisy(512, 12));
    document.notifyContentChanged();
    int snapshots = 0;
    document.willSnapshot = [&] { ++snapshots; };
    DocumentSaver saver(&document);
    QSignalSpy saved(&saver, &DocumentSaver::saved);
    QSignalSpy progressed(&saver, &DocumentSaver::progressed);

    // The main thread turns and edits the document while the package is written.
    qint64 turnsBeforeSaved = 0;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, &turns, [&] {
        if (saved.isEmpty() && ++turnsBeforeSaved == 1)
            rename(document, "Edited meanwhile");
    });
    const Sprite written = document.sprite();
    saver.save(package);
    EXPECT_TRUE(saver.isSaving());
    EXPECT_TRUE(saved.isEmpty());
    turns.start();
    ASSERT_TRUE(saver.waitUntilIdle());
    turns.stop();
    EXPECT_GT(turnsBeforeSaved, 0);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(snapshots, 1);
    EXPECT_EQ(ProjectPackage::readPackage(package), written);
    EXPECT_TRUE(document.hasUnsavedChanges()); // the edit is not in the package
    // Progress counts up to its total, which it reaches.
    ASSERT_FALSE(progressed.isEmpty());
    for (qsizetype i = 1; i < progressed.size(); ++i)
        EXPECT_GE(progressed[i][0].toLongLong(), progressed[i - 1][0].toLongLong());
    EXPECT_EQ(progressed.last()[0], progressed.last()[1]);

    // Saved again with no edit under way, the document is saved.
    ASSERT_TRUE((saver.save(package), saver.waitUntilIdle()));
    EXPECT_FALSE(document.hasUnsavedChanges());
    EXPECT_EQ(ProjectPackage::readPackage(package), document.sprite());
}

TEST(DocumentSaver, FailureIsToldAsThePackageErrorAndLeavesTheDocumentUnsaved) {
    QTemporaryDir folder;
    const QString target = folder.filePath("missing/Hero.pixel");
    PixelDocument document(Sprite::blank(4, 4));
    document.notifyContentChanged();
    DocumentSaver saver(&document);
    QSignalSpy failed(&saver, &DocumentSaver::failed);
    QSignalSpy saved(&saver, &DocumentSaver::saved);
    saver.save(target);
    EXPECT_FALSE(saver.waitUntilIdle());
    QString expected;
    try {
        ProjectPackage::writePackage(document.sprite(), target);
    } catch (const PackageError& error) {
        expected = error.message();
    }
    ASSERT_FALSE(expected.isEmpty());
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString(), target);
    EXPECT_EQ(failed[0][1].toString(), expected);
    EXPECT_TRUE(saved.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_TRUE(document.hasUnsavedChanges());
    // A later save that succeeds is not held up by the failed one.
    EXPECT_TRUE((saver.save(folder.filePath("Hero.pixel")), saver.waitUntilIdle()));
    EXPECT_FALSE(document.hasUnsavedChanges());
}

// Saves and recovery copies asked for while one runs wait their turn, in order, each with the
// sprite of the moment it was asked for.
TEST(DocumentSaver, WritesOneAtATimeInTheOrderAsked) {
    QTemporaryDir folder;
    PixelDocument document(noisy(256, 8));
    document.notifyContentChanged();
    DocumentSaver saver(&document);
    QStringList outcomes;
    QSignalSpy started(&saver, &DocumentSaver::saveStarted);
    QObject::connect(&saver, &DocumentSaver::saved, &saver,
                     [&](const QString& target) { outcomes << QFileInfo(target).fileName(); });

    const Sprite first = document.sprite();
    saver.save(folder.filePath("A.pixel"));
    rename(document, "Second");
    const Sprite second = document.sprite();
    saver.writeCopy(folder.filePath("copy.pixel"), [&](bool written) {
        outcomes << (written ? "copy" : "copy failed");
        EXPECT_TRUE(saver.isSaving()); // B still waits
    });
    rename(document, "Third");
    saver.save(folder.filePath("B.pixel"));
    ASSERT_TRUE(saver.waitUntilIdle());
    EXPECT_FALSE(saver.isBusy());

    EXPECT_EQ(outcomes, (QStringList{"A.pixel", "copy", "B.pixel"}));
    EXPECT_EQ(started.size(), 2); // recovery copies show no progress
    EXPECT_EQ(ProjectPackage::readPackage(folder.filePath("A.pixel")), first);
    EXPECT_EQ(ProjectPackage::readPackage(folder.filePath("copy.pixel")), second);
    EXPECT_EQ(ProjectPackage::readPackage(folder.filePath("B.pixel")), document.sprite());
    EXPECT_FALSE(document.hasUnsavedChanges());
}
