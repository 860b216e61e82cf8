#include "ShellFixture.h"

#include "DocumentAutosaver.h"
#include "RecoveryStore.h"
#include "ProjectPackage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

namespace {

using namespace std::chrono_literals;

class RecoveryTest : public ShellTest {
protected:
    // A window whose document has one more layer than it started with, and a recovery copy
    // of that change on disk.
    DocumentWindow* changedWindowWithCopy() {
        DocumentWindow* window = spriteWindow(5, 3);
        window->autosaver()->setDelay(1ms);
        QSignalSpy written(window->autosaver(), &DocumentAutosaver::copyWritten);
        window->editor()->addLayer();
        EXPECT_TRUE(written.wait(10000));
        return window;
    }
};

TEST_F(RecoveryTest, ChangedDocumentGetsACopyThatSavingOrClosingRemoves) {
    DocumentWindow* window = changedWindowWithCopy();
    QList<RecoveryStore::Entry> entries = coordinator->recovery().entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].title, "Untitled");
    EXPECT_TRUE(entries[0].originalPath.isEmpty());
    const QString copy = coordinator->recovery().packagePath(entries[0].id);
    EXPECT_EQ(ProjectPackage::readPackage(copy).layers.size(), 2);

    prompts.saveLocation = path("saved.pixel");
    ASSERT_TRUE(saveAndWait(window));
    EXPECT_TRUE(coordinator->recovery().entries().isEmpty());
    EXPECT_FALSE(QDir(copy).exists());

    // After the next change, closing without saving throws the new copy away as well.
    QSignalSpy written(window->autosaver(), &DocumentAutosaver::copyWritten);
    window->editor()->addEmptyFrame();
    ASSERT_TRUE(written.wait(10000));
    EXPECT_EQ(coordinator->recovery().entries()[0].originalPath, path("saved.pixel"));
    EXPECT_EQ(coordinator->recovery().entries()[0].title, "saved");
    prompts.saveAnswers = {UserPrompts::SaveChoice::discard};
    ASSERT_TRUE(window->close());
    settle();
    EXPECT_TRUE(coordinator->recovery().entries().isEmpty());
}

TEST_F(RecoveryTest, WorkLeftByAStoppedRunIsOfferedAtTheNextLaunch) {
    changedWindowWithCopy();
    DocumentWindow* project = spriteWindow(4, 4);
    prompts.saveLocation = path("hero.pixel");
    ASSERT_TRUE(saveAndWait(project));
    project->autosaver()->setDelay(1ms);
    QSignalSpy written(project->autosaver(), &DocumentAutosaver::copyWritten);
    project->editor()->addEmptyFrame();
    ASSERT_TRUE(written.wait(10000));

    // The run ends without closing its windows, as after a crash.
    coordinator.reset();
    coordinator = makeCoordinator();
    EXPECT_EQ(coordinator->offerRecovery(), 2);
    EXPECT_EQ(prompts.restoreQuestions.size(), 2);
    EXPECT_TRUE(prompts.restoreQuestions.contains("Untitled"));
    EXPECT_TRUE(prompts.restoreQuestions.contains("hero"));

    const QList<DocumentWindow*> restored = coordinator->documentWindows();
    ASSERT_EQ(restored.size(), 2);
    for (const DocumentWindow* window : restored) {
        EXPECT_TRUE(window->document()->hasUnsavedChanges());
        EXPECT_TRUE(window->isWindowModified());
    }
    const auto hero = std::find_if(restored.begin(), restored.end(), [&](DocumentWindow* w) {
        return w->filePath() == path("hero.pixel");
    });
    ASSERT_NE(hero, restored.end());
    EXPECT_EQ((*hero)->document()->sprite().frames.size(), 2);
    // The copies now belong to this run; nothing is offered a second time.
    EXPECT_EQ(coordinator->recovery().entries().size(), 2);
    EXPECT_TRUE(coordinator->recovery().leftovers().isEmpty());
}

TEST_F(RecoveryTest, DeclinedCopiesAreDeletedAndARunningSessionIsNeverOffered) {
    changedWindowWithCopy();
    {
        // Another Kestrin starting now sees this one's copies as in use.
        RecoveryStore other(recoveryRoot());
        EXPECT_TRUE(other.leftovers().isEmpty());
    }
    coordinator.reset();
    prompts.restoreAnswer = false;
    coordinator = makeCoordinator();
    EXPECT_EQ(coordinator->offerRecovery(), 0);
    EXPECT_EQ(prompts.restoreQuestions.size(), 1);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    coordinator.reset();
    // Nothing is left behind but the folder of runs.
    EXPECT_TRUE(QDir(recoveryRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST(RecoveryStoreTest, CopyWrittenButNotYetListedIsStillFound) {
    QTemporaryDir root;
    QString session;
    {
        RecoveryStore stopped(root.path());
        session = stopped.sessionDirectory();
        ProjectPackage::writePackage(Sprite::blank(2, 2), stopped.packagePath("unlisted"));
        stopped.record({"listed", "/nowhere/listed.pixel", "listed", QDateTime::currentDateTime()});
        // "listed" has no package: a copy whose write never finished is not offered.
    }
    ASSERT_TRUE(QDir(session).exists());
    RecoveryStore next(root.path());
    const QList<RecoveryStore::Leftover> found = next.leftovers();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].entry.id, "unlisted");
    EXPECT_EQ(found[0].entry.title, "Untitled");
    ASSERT_TRUE(next.adopt(found[0], "mine"));
    EXPECT_EQ(ProjectPackage::readPackage(next.packagePath("mine")).width, 2);
    EXPECT_TRUE(next.leftovers().isEmpty());
}

// The session folder a Kestrin leaves when it is killed with nothing unsaved: only the lock
// file of a process that has gone.
QString killedSessionIn(const QString& root, const QString& name) {
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    EXPECT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    EXPECT_TRUE(gone.waitForFinished());
    const QString directory = root + u'/' + name;
    QDir().mkpath(directory);
    QFile lock(directory + QStringLiteral("/session.lock"));
    EXPECT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nkestrin\n\n");
    return directory;
}

TEST(RecoveryStoreTest, EmptySessionsOfStoppedRunsAreRemovedWithoutTouchingOthers) {
    QTemporaryDir root;
    const QString killed = killedSessionIn(root.path(), QStringLiteral("killed"));
    QString withCopy;
    {
        RecoveryStore stopped(root.path());
        withCopy = stopped.sessionDirectory();
        ProjectPackage::writePackage(Sprite::blank(2, 2), stopped.packagePath("copy"));
        stopped.record({"copy", QString(), "copy", QDateTime::currentDateTime()});
    }
    RecoveryStore running(root.path());
    RecoveryStore current(root.path());

    current.removeAbandonedSessions();
    EXPECT_FALSE(QDir(killed).exists());
    EXPECT_TRUE(QDir(running.sessionDirectory()).exists());
    EXPECT_TRUE(QDir(current.sessionDirectory()).exists());
    // The copy is still offered, then claimed by this run alone until the user answers.
    ASSERT_EQ(current.leftovers().size(), 1);
    RecoveryStore other(root.path());
    other.removeAbandonedSessions();
    EXPECT_TRUE(other.leftovers().isEmpty());
    EXPECT_TRUE(QDir(withCopy).exists());
    EXPECT_TRUE(QDir(current.sessionDirectory()).exists());
}

// The variable only ever shortens the wait for tests; anything that is not a count of
// milliseconds leaves the half-minute in place.
TEST(DocumentAutosaverTest, DelayComesFromTheEnvironmentOnlyWhenItIsACount) {
    const QByteArray name = "KESTRIN_RECOVERY_DELAY_MS";
    const struct {
        const char* value;
        std::chrono::milliseconds delay;
    } cases[] = {
        {"250", std::chrono::milliseconds(250)}, {"0", std::chrono::milliseconds(0)},
        {"", DocumentAutosaver::defaultDelay},   {"soon", DocumentAutosaver::defaultDelay},
        {"-5", DocumentAutosaver::defaultDelay},
    };
    for (const auto& each : cases) {
        qputenv(name, each.value);
        EXPECT_EQ(DocumentAutosaver::configuredDelay(), each.delay) << each.value;
    }
    qunsetenv(name);
    EXPECT_EQ(DocumentAutosaver::configuredDelay(), DocumentAutosaver::defaultDelay);
}

} // namespace
