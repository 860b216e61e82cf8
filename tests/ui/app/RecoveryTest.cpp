#include "ShellFixture.h"

#include "DocumentAutosaver.h"
#include "ProjectPackage.h"
#include "RecoveryStore.h"

#include <QProcess>
#include <QSignalSpy>

namespace {

using namespace std::chrono_literals;

class RecoveryTest : public ShellTest {
protected:
    // Adds a layer to the window's document and waits for the recovery copy of that change.
    DocumentWindow* changedWithCopy(DocumentWindow* window) {
        window->autosaver()->setDelay(1ms);
        QSignalSpy written(window->autosaver(), &DocumentAutosaver::copyWritten);
        window->editor()->addLayer();
        EXPECT_TRUE(written.wait(10000));
        return window;
    }

    // The run ends without closing its windows, as after a crash, and the next one starts.
    void relaunch() {
        coordinator.reset();
        coordinator = makeCoordinator();
    }
};

TEST_F(RecoveryTest, ChangedWorkKeepsACopyUntilSavedOrClosedAndIsOfferedAfterACrash) {
    DocumentWindow* window = changedWithCopy(spriteWindow(5, 3));
    QList<RecoveryStore::Entry> entries = coordinator->recovery().entries();
    ASSERT_EQ(entries.size(), 1);
    const QString copy = coordinator->recovery().packagePath(entries[0].id);
    EXPECT_EQ(ProjectPackage::readPackage(copy).layers.size(), 2);
    prompts.saveLocation = path("saved.pixel");
    ASSERT_TRUE(saveAndWait(window));
    EXPECT_TRUE(coordinator->recovery().entries().isEmpty());
    EXPECT_FALSE(QDir(copy).exists());

    changedWithCopy(window);
    EXPECT_EQ(coordinator->recovery().entries()[0].originalPath, path("saved.pixel"));
    changedWithCopy(spriteWindow(4, 4));
    {
        // Another Kestrin starting now sees this one's copies as in use.
        RecoveryStore other(recoveryRoot());
        EXPECT_TRUE(other.leftovers().isEmpty());
    }
    relaunch();
    EXPECT_EQ(coordinator->offerRecovery(), 2);
    EXPECT_EQ(prompts.restoreQuestions.size(), 2);
    EXPECT_TRUE(prompts.restoreQuestions.contains("Untitled"));
    EXPECT_TRUE(prompts.restoreQuestions.contains("saved"));
    for (const DocumentWindow* restored : coordinator->documentWindows())
        EXPECT_TRUE(restored->document()->hasUnsavedChanges());
    DocumentWindow* saved = coordinator->windowFor(path("saved.pixel"));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->document()->sprite().layers.size(), 3);
    // The copies now belong to this run; nothing is offered a second time.
    EXPECT_EQ(coordinator->recovery().entries().size(), 2);
    EXPECT_TRUE(coordinator->recovery().leftovers().isEmpty());
    // Closing without saving throws the copy away.
    prompts.saveAnswers = {UserPrompts::SaveChoice::discard};
    ASSERT_TRUE(saved->close());
    settle();
    EXPECT_EQ(coordinator->recovery().entries().size(), 1);

    // Declined, a copy is deleted: nothing is left behind but the folder of runs.
    relaunch();
    prompts.restoreAnswer = false;
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.restoreQuestions.size(), 3);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    coordinator.reset();
    EXPECT_TRUE(QDir(recoveryRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(RecoveryTest, UnreadableCopyCanBeRetriedKeptOrDiscarded) {
    {
        RecoveryStore previous(recoveryRoot());
        QDir().mkpath(previous.packagePath("broken"));
        previous.record({"broken", QString(), "Lost", QDateTime::currentDateTime()});
    }
    prompts.failedRestoreAnswers = {UserPrompts::FailedRestoreChoice::retry,
                                    UserPrompts::FailedRestoreChoice::keep};
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores, (QStringList{"Lost", "Lost"}));
    // Kept, it is offered again; discarded, it is gone.
    relaunch();
    prompts.failedRestoreAnswers = {UserPrompts::FailedRestoreChoice::discard};
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores.size(), 3);
    relaunch();
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.failedRestores.size(), 3);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
}

TEST_F(RecoveryTest, UnwritableRecoveryFolderIsToldOncePerRun) {
    coordinator.reset();
    ASSERT_TRUE(QDir(recoveryRoot()).removeRecursively());
    writeFile(recoveryRoot(), ""); // a file where the folder should be
    coordinator = makeCoordinator();
    for (int i = 0; i < 2; ++i) {
        DocumentWindow* window = spriteWindow();
        window->autosaver()->setDelay(0ms);
        QSignalSpy failed(window->autosaver(), &DocumentAutosaver::copyFailed);
        window->editor()->addLayer();
        ASSERT_TRUE(failed.wait(5000));
        settle();
    }
    ASSERT_EQ(prompts.alerts, QStringList{"Kestrin cannot keep recovery copies of your work."});
    EXPECT_TRUE(prompts.alertDetails[0].contains(recoveryRoot()));
}

// A stopped run's copy is found even when its listing was never written, and a listing whose
// copy was never finished is not offered; only sessions of runs now gone that hold nothing go.
TEST(RecoveryStoreTest, CopiesOfStoppedRunsAreFoundOnceAndEmptySessionsGo) {
    QTemporaryDir root;
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QString killed = root.filePath("killed");
    writeFile(killed + "/session.lock", QByteArray::number(pid) + "\nkestrin\n\n");
    QString stoppedSession;
    {
        RecoveryStore stopped(root.path());
        stoppedSession = stopped.sessionDirectory();
        ProjectPackage::writePackage(Sprite::blank(2, 2), stopped.packagePath("unlisted"));
        stopped.record({"listed", "/nowhere/listed.pixel", "listed", QDateTime::currentDateTime()});
    }
    RecoveryStore running(root.path());
    RecoveryStore current(root.path());
    current.removeAbandonedSessions();
    EXPECT_FALSE(QDir(killed).exists());
    EXPECT_TRUE(QDir(running.sessionDirectory()).exists());
    EXPECT_TRUE(QDir(stoppedSession).exists());
    const QList<RecoveryStore::Leftover> found = current.leftovers();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].entry.id, "unlisted");
    EXPECT_EQ(found[0].entry.title, "Untitled");

    // The copy is claimed by this run alone until the user answers.
    RecoveryStore other(root.path());
    other.removeAbandonedSessions();
    EXPECT_TRUE(other.leftovers().isEmpty());
    EXPECT_TRUE(QDir(current.sessionDirectory()).exists());
    ASSERT_TRUE(current.adopt(found[0], "mine"));
    EXPECT_EQ(ProjectPackage::readPackage(current.packagePath("mine")).width, 2);
    EXPECT_TRUE(current.leftovers().isEmpty());
}

} // namespace
