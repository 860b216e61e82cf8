#include "PackageTestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <cstdio>

using namespace kestrin::test;

// A child process (this test run again with the target in its environment) saves two different
// sprites over one package, turn about, until it is killed at a random moment; the package
// must then hold one of them completely.

namespace {

const char* const targetVariable = "KESTRIN_SAVE_LOOP_TARGET";

// Several layers and frames, so a save writes many files and a kill lands inside one often.
// The second differs in one cel and shares the others' pixels, so every save after the first
// carries most files over from the package it replaces.
std::array<Sprite, 2> savedSprites() {
    Sprite first = paintedSprite(48, 32, 3, 4, 1);
    first.layers[0].name = QStringLiteral("First");
    Sprite second = first;
    second.layers[0].name = QStringLiteral("Second");
    second.layers[2].cels[2]->setWordAt(7, second.layers[2].cels[2]->wordAt(7) ^ 0x00FF00FFu);
    return {first, second};
}

// The child's side: saves until it is killed.
[[noreturn]] void saveUntilKilled(const QString& target) {
    const std::array<Sprite, 2> sprites = savedSprites();
    for (int turn = 1;; turn ^= 1) {
        ProjectPackage::writePackage(sprites[turn], target);
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    }
}

} // namespace

TEST(PackageCrashSafety, KilledSavesLeaveOldOrNewPackageWhole) {
    if (qEnvironmentVariableIsSet(targetVariable))
        saveUntilKilled(qEnvironmentVariable(targetVariable));
    QTemporaryDir folder;
    const QString target = folder.filePath("Loop.pixel");
    const std::array<Sprite, 2> sprites = savedSprites();
    ProjectPackage::writePackage(sprites[0], target);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(targetVariable, target);

    int sawNew = 0;
    for (int round = 0; round < 16; ++round) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=PackageCrashSafety.*"});
        QByteArray output; // the test framework's own lines come first
        while (!output.contains("saved\n") && child.waitForReadyRead(30000))
            output += child.readAllStandardOutput();
        ASSERT_TRUE(output.contains("saved\n")) << "the child never saved";
        QThread::usleep(QRandomGenerator::global()->bounded(40000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));

        const Sprite found = ProjectPackage::readPackage(target);
        ASSERT_TRUE(found == sprites[0] || found == sprites[1]) << "round " << round;
        sawNew += found == sprites[1];
    }
    EXPECT_GT(sawNew, 0);
    // Interrupted saves may leave hidden leftovers beside the package, never in its way.
    ProjectPackage::writePackage(sprites[0], target);
    EXPECT_EQ(ProjectPackage::readPackage(target), sprites[0]);
}
