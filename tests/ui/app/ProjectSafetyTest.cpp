#include "DocumentAutosaver.h"
#include "NewSpriteView.h"
#include "PackageOpenDialog.h"
#include "ProjectClaim.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"
#include "RecoveryStore.h"
#include "ShellFixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <unistd.h>

namespace {

class ProjectSafetyTest : public ShellTest {
protected:
    static Sprite filled(quint32 color, qint64 side = 4) {
        Sprite sprite = Sprite::blank(side, side);
        sprite.layers[0].cels[0] = Cel(side, side, QList<quint32>(side * side, color));
        return sprite;
    }

    QString project(const Sprite& sprite, const QString& name = "hero.pixel") {
        ProjectPackage::writePackage(sprite, path(name));
        return path(name);
    }

    // Another Kestrin of this host that is running: the parent of the test.
    static ProjectLock::Holder otherKestrin() {
        ProjectLock::Holder other = ProjectLock::currentProcess();
        other.user = "ana";
        other.pid = ::getppid();
        return other;
    }

    // Waits until the window's claim reports the change another application made.
    static bool waitForOutsideChange(DocumentWindow* window) {
        QSignalSpy spy(window->projectClaim(), &ProjectClaim::changedElsewhere);
        return spy.wait(5000);
    }
};

} // namespace

TEST_F(ProjectSafetyTest, EverySpellingOfAnOpenProjectFindsItsWindow) {
    project(filled(0xFF0000FF));
    ASSERT_TRUE(QFile::link(path("hero.pixel"), path("link.pixel")));
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    for (const QString& spelling : {path("hero.pixel/"), path("link.pixel"),
                                    path("link.pixel/project.json"), path("./hero.pixel")}) {
        EXPECT_EQ(coordinator->openDocument(spelling), window) << spelling.toStdString();
        EXPECT_EQ(coordinator->windowFor(spelling), window);
    }
    EXPECT_EQ(coordinator->documentWindows().size(), 1);
    // The window holds the project's lock until it closes.
    EXPECT_TRUE(
        ProjectLock::holder(path("hero.pixel"))->isSameProcess(ProjectLock::currentProcess()));
    window->close();
    settle();
    EXPECT_FALSE(ProjectLock::exists(path("hero.pixel")));
}

TEST_F(ProjectSafetyTest, ProjectLockedElsewhereOpensOnlyReadOnlyAndSavesOnlyElsewhere) {
    const Sprite theirs = filled(0xFF0000FF);
    project(theirs);
    ASSERT_EQ(ProjectLock::acquire(path("hero.pixel"), otherKestrin()).outcome,
              ProjectLock::Outcome::acquired);

    EXPECT_EQ(coordinator->openDocument(path("hero.pixel")), nullptr);
    ASSERT_EQ(prompts.lockedQuestions.size(), 1);
    EXPECT_TRUE(prompts.lockedQuestions[0].startsWith("hero|ana on "));

    prompts.openReadOnlyAnswer = true;
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isReadOnly());
    EXPECT_EQ(window->windowTitle(), "hero (Read-Only)[*]");
    window->editor()->addLayer();
    // Save goes through Save As…; cancelled, nothing is written.
    EXPECT_FALSE(saveAndWait(window));
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), theirs);
    // Saving over the held project under its own name is refused too.
    prompts.saveLocation = path("hero.pixel");
    prompts.replaceAnswer = true;
    EXPECT_FALSE(saveAndWait(window));
    EXPECT_TRUE(prompts.alerts.last().startsWith("“hero.pixel” is being edited by ana on "));
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), theirs);

    prompts.saveLocation = path("mine.pixel");
    ASSERT_TRUE(saveAndWait(window));
    EXPECT_FALSE(window->isReadOnly());
    EXPECT_EQ(ProjectPackage::readPackage(path("mine.pixel")).layers.size(), 2);
    EXPECT_TRUE(ProjectLock::holder(path("hero.pixel"))->isSameProcess(otherKestrin()));
}

TEST_F(ProjectSafetyTest, SaveAsksBeforeReplacingChangesMadeElsewhere) {
    project(filled(0xFF0000FF));
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    window->editor()->addLayer();
    const Sprite outside = filled(0xFF00FF00);
    ProjectPackage::writePackage(outside, path("hero.pixel"));
    // With unsaved changes here, the user is asked and keeps them.
    ASSERT_TRUE(waitForOutsideChange(window));
    EXPECT_EQ(prompts.reloadQuestions, QStringList{"hero"});
    EXPECT_EQ(window->document()->sprite().layers.size(), 2);

    prompts.overwriteAnswer = UserPrompts::OverwriteChoice::cancel;
    EXPECT_FALSE(saveAndWait(window));
    EXPECT_EQ(prompts.overwriteQuestions, QStringList{"hero"});
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), outside);

    prompts.overwriteAnswer = UserPrompts::OverwriteChoice::saveAs;
    prompts.saveLocation = path("copy.pixel");
    EXPECT_TRUE(saveAndWait(window));
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), outside);
    EXPECT_EQ(ProjectPackage::readPackage(path("copy.pixel")).layers.size(), 2);
    // The copy is this window's now and unchanged elsewhere: saving asks nothing.
    window->editor()->addLayer();
    EXPECT_TRUE(saveAndWait(window));
    EXPECT_EQ(prompts.overwriteQuestions.size(), 2);

    ProjectPackage::writePackage(outside, path("copy.pixel"));
    prompts.overwriteAnswer = UserPrompts::OverwriteChoice::saveAnyway;
    window->editor()->addLayer();
    EXPECT_TRUE(saveAndWait(window));
    EXPECT_EQ(ProjectPackage::readPackage(path("copy.pixel")).layers.size(), 4);
}

TEST_F(ProjectSafetyTest, UnchangedWindowFollowsTheDiskAndUndoGoesBack) {
    const Sprite shown = filled(0xFF0000FF);
    project(shown);
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    settle();
    const Sprite outside = filled(0xFF00FF00);
    ProjectPackage::writePackage(outside, path("hero.pixel"));
    ASSERT_TRUE(waitForOutsideChange(window));
    EXPECT_TRUE(prompts.reloadQuestions.isEmpty());
    EXPECT_EQ(window->document()->sprite(), outside);
    EXPECT_FALSE(window->document()->hasUnsavedChanges());
    EXPECT_FALSE(window->projectClaim()->changedOnDisk());
    // The package written from outside came without the lock: the window holds it again.
    ASSERT_TRUE(ProjectLock::holder(path("hero.pixel")));
    EXPECT_TRUE(
        ProjectLock::holder(path("hero.pixel"))->isSameProcess(ProjectLock::currentProcess()));

    window->document()->undoStack()->undo();
    EXPECT_EQ(window->document()->sprite(), shown);
    EXPECT_TRUE(window->document()->hasUnsavedChanges());
    EXPECT_TRUE(saveAndWait(window)); // what was shown goes back without a question
    EXPECT_TRUE(prompts.overwriteQuestions.isEmpty());
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), shown);
}

TEST_F(ProjectSafetyTest, OpeningRestoresAProjectAnInterruptedSaveLeftAside) {
    const Sprite sprite = filled(0xFF0000FF);
    project(sprite, ".hero.pixel.old-0000000000000001");
    QDir(folder.path()).mkpath(".hero.pixel.saving-0000000000000002/layers");
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->document()->sprite(), sprite);
    EXPECT_EQ(prompts.alerts, QStringList{"“hero” was restored."});
    EXPECT_EQ(QDir(folder.path()).entryList({"*hero*"}, QDir::Hidden | QDir::AllEntries),
              QStringList{"hero.pixel"});
}

TEST_F(ProjectSafetyTest, UnreadableRecoveryCopyCanBeDiscardedOrKept) {
    {
        RecoveryStore previous(recoveryRoot());
        QDir().mkpath(previous.packagePath("broken"));
        previous.record({"broken", QString(), "Lost", QDateTime::currentDateTime()});
    }
    prompts.failedRestoreAnswers = {UserPrompts::FailedRestoreChoice::retry,
                                    UserPrompts::FailedRestoreChoice::keep};
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores, (QStringList{"Lost", "Lost"}));
    coordinator.reset();
    coordinator = makeCoordinator();

    // Kept, it is offered again; discarded, it is gone.
    prompts.failedRestoreAnswers = {UserPrompts::FailedRestoreChoice::discard};
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores.size(), 3);
    coordinator.reset();
    coordinator = makeCoordinator();
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores.size(), 3);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
}

TEST_F(ProjectSafetyTest, UnwritableRecoveryFolderIsToldOncePerRun) {
    coordinator.reset();
    ASSERT_TRUE(QDir(path("recovery")).removeRecursively());
    QFile blocker(path("recovery"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    coordinator = makeCoordinator();
    for (int i = 0; i < 2; ++i) {
        DocumentWindow* window = spriteWindow();
        window->autosaver()->setDelay(std::chrono::milliseconds(0));
        QSignalSpy failed(window->autosaver(), &DocumentAutosaver::copyFailed);
        window->editor()->addLayer();
        ASSERT_TRUE(failed.wait(5000));
        settle();
    }
    ASSERT_EQ(prompts.alerts, QStringList{"Kestrin cannot keep recovery copies of your work."});
    EXPECT_TRUE(prompts.alertDetails[0].contains(path("recovery")));
}

TEST_F(ProjectSafetyTest, SizeSheetOpensAProjectInsteadOrComesBack) {
    project(filled(0xFF0000FF));
    DocumentWindow* blank = coordinator->newDocument();
    settle();
    NewSpriteView* sheet = blank->sizePrompt();
    ASSERT_NE(sheet, nullptr);
    QPushButton* open = nullptr;
    for (QPushButton* button : sheet->findChildren<QPushButton*>())
        if (button->text() == "Open…")
            open = button;
    ASSERT_NE(open, nullptr);

    // The Open dialog cancelled: the sheet is back.
    open->click();
    settle();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(coordinator->documentWindows().size(), 1);
    EXPECT_EQ(quits, 0);

    const QPointer<DocumentWindow> untouched(blank);
    prompts.project = path("hero.pixel");
    QTest::keyClick(sheet, Qt::Key_O, Qt::ControlModifier);
    settle();
    ASSERT_EQ(coordinator->documentWindows().size(), 1);
    EXPECT_EQ(coordinator->documentWindows()[0]->filePath(), path("hero.pixel"));
    EXPECT_TRUE(untouched.isNull());
    EXPECT_EQ(quits, 0);
}

TEST_F(ProjectSafetyTest, OpenDialogStartsBesideTheLastProjectNeverInside) {
    QDir(folder.path()).mkpath("art/nested.pixel/inner.pixel");
    RecentProjects::add(path("art/nested.pixel/inner.pixel"));
    EXPECT_EQ(PackageOpenDialog::startFolder(), path("art"));
    RecentProjects::add(path("gone/missing.pixel"));
    EXPECT_EQ(PackageOpenDialog::startFolder(), path("art"));
    PackageOpenDialog dialog;
    EXPECT_EQ(dialog.directory().absolutePath(), path("art"));
}
