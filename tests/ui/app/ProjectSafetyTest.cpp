#include "ProjectClaim.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"
#include "ShellFixture.h"

#include <QSignalSpy>
#include <unistd.h>

namespace {

class ProjectSafetyTest : public ShellTest {
protected:
    static Sprite filled(quint32 color) {
        Sprite sprite = Sprite::blank(4, 4);
        sprite.layers[0].cels[0] = Cel(4, 4, QList<quint32>(16, color));
        return sprite;
    }

    DocumentWindow* openHero(const Sprite& sprite) {
        ProjectPackage::writePackage(sprite, path("hero.pixel"));
        return coordinator->openDocument(path("hero.pixel"));
    }

    // Another Kestrin of this host that is running: the parent of the test.
    static ProjectLock::Holder otherKestrin() {
        ProjectLock::Holder other = ProjectLock::currentProcess();
        other.user = "ana";
        other.pid = ::getppid();
        return other;
    }

    // Writes the project from outside and waits until the window's claim reports it.
    static bool writeElsewhere(DocumentWindow* window, const Sprite& sprite) {
        QSignalSpy spy(window->projectClaim(), &ProjectClaim::changedElsewhere);
        ProjectPackage::writePackage(sprite, window->filePath());
        return spy.wait(5000);
    }

    static bool holdsLock(const QString& project, const ProjectLock::Holder& holder) {
        return ProjectLock::holder(project) && ProjectLock::holder(project)->isSameProcess(holder);
    }
};

// Which spellings name one project is proven with the paths alone; here, that they reach the
// window already open, which holds the lock until it closes.
TEST_F(ProjectSafetyTest, EverySpellingOfAnOpenProjectFindsItsLockedWindow) {
    DocumentWindow* window = openHero(filled(0xFF0000FF));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QFile::link(path("hero.pixel"), path("link.pixel")));
    for (const QString& spelling : {path("hero.pixel/"), path("link.pixel/project.json")})
        EXPECT_EQ(coordinator->openDocument(spelling), window) << spelling.toStdString();
    EXPECT_EQ(coordinator->documentWindows().size(), 1);
    EXPECT_TRUE(holdsLock(path("hero.pixel"), ProjectLock::currentProcess()));
    window->close();
    settle();
    EXPECT_FALSE(ProjectLock::exists(path("hero.pixel")));
}

TEST_F(ProjectSafetyTest, ProjectLockedElsewhereOpensOnlyReadOnlyAndSavesOnlyElsewhere) {
    const Sprite theirs = filled(0xFF0000FF);
    ProjectPackage::writePackage(theirs, path("hero.pixel"));
    ASSERT_EQ(ProjectLock::acquire(path("hero.pixel"), otherKestrin()).outcome,
              ProjectLock::Outcome::acquired);
    EXPECT_EQ(coordinator->openDocument(path("hero.pixel")), nullptr);
    ASSERT_EQ(prompts.lockedQuestions.size(), 1);
    EXPECT_TRUE(prompts.lockedQuestions[0].startsWith("hero|ana on "));

    prompts.openReadOnlyAnswer = true;
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isReadOnly());
    window->editor()->addLayer();
    // Save goes through Save As…; cancelled, nothing is written.
    EXPECT_FALSE(saveAndWait(window));
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
    EXPECT_TRUE(holdsLock(path("hero.pixel"), otherKestrin()));
}

// An unchanged window follows the disk; one with changes asks before saving over the others.
TEST_F(ProjectSafetyTest, ChangesMadeElsewhereAreFollowedOrAskedAbout) {
    const Sprite shown = filled(0xFF0000FF);
    DocumentWindow* window = openHero(shown);
    ASSERT_NE(window, nullptr);
    settle();
    const Sprite outside = filled(0xFF00FF00);
    ASSERT_TRUE(writeElsewhere(window, outside));
    EXPECT_TRUE(prompts.reloadQuestions.isEmpty());
    EXPECT_EQ(window->document()->sprite(), outside);
    EXPECT_FALSE(window->document()->hasUnsavedChanges());
    // The package written from outside came without the lock: the window holds it again.
    EXPECT_TRUE(holdsLock(path("hero.pixel"), ProjectLock::currentProcess()));

    window->document()->undoStack()->undo();
    EXPECT_EQ(window->document()->sprite(), shown);
    EXPECT_TRUE(window->document()->hasUnsavedChanges());
    EXPECT_TRUE(saveAndWait(window)); // what was shown goes back without a question
    EXPECT_TRUE(prompts.overwriteQuestions.isEmpty());
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), shown);

    // With unsaved changes here, the user is asked and keeps them.
    window->editor()->addLayer();
    ASSERT_TRUE(writeElsewhere(window, outside));
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

// How leftovers of an interrupted save are put back is proven on disk; opening tells it.
TEST_F(ProjectSafetyTest, OpeningRestoresAProjectAnInterruptedSaveLeftAside) {
    const Sprite sprite = filled(0xFF0000FF);
    ProjectPackage::writePackage(sprite, path(".hero.pixel.old-0000000000000001"));
    DocumentWindow* window = coordinator->openDocument(path("hero.pixel"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->document()->sprite(), sprite);
    EXPECT_EQ(prompts.alerts, QStringList{"“hero” was restored."});
}

} // namespace
