#include "ShellFixture.h"

#include "ImportError.h"
#include "MemoryError.h"
#include "NewSpriteView.h"
#include "PixelRenderer.h"
#include "ProjectPackage.h"
#include "WelcomeView.h"
#include "WorkProgressDialog.h"

#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>

namespace {

void putPngOnClipboard(const QImage& image) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), PixelRenderer::pngData(image));
    QApplication::clipboard()->setMimeData(data);
}

QImage colourfulImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 4, y * 4, (x + y) % 256, 255));
    }
    return image;
}

// Four layers of noise, which take the package writer a while.
Sprite slowToSave() {
    Sprite sprite = Sprite::blank(1024, 1024);
    QRandomGenerator random(3);
    for (int l = 0; l < 4; ++l) {
        if (l > 0)
            sprite.layers.append(Layer(QStringLiteral("Layer %1").arg(l + 1), 1));
        QList<quint32> pixels(1024 * 1024);
        random.fillRange(pixels.data(), pixels.size());
        sprite.layers[l].cels[0] = Cel(1024, 1024, pixels);
    }
    return sprite;
}

using AppCoordinatorTest = ShellTest;

TEST_F(AppCoordinatorTest, SizeSheetCancelledClosesOnlyItsWindowAndCreatedReplacesTheSprite) {
    DocumentWindow* blank = coordinator->newDocument();
    ASSERT_NE(blank->sizePrompt(), nullptr);
    EXPECT_FALSE(blank->document()->promptsForSize());
    blank->sizePrompt()->reject();
    settle();
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    EXPECT_EQ(quits, 1);

    // The deferred close and change count act on the sheet's window, not on the one in front.
    DocumentWindow* third = coordinator->newDocument();
    DocumentWindow* changed = spriteWindow();
    changed->editor()->addLayer();
    changed->activateWindow();
    coordinator->clearChangeCount(third);
    third->sizePrompt()->reject();
    settle();
    EXPECT_EQ(coordinator->documentWindows(), QList<DocumentWindow*>{changed});
    EXPECT_TRUE(changed->document()->hasUnsavedChanges());
    EXPECT_EQ(quits, 1);

    // Created, the sheet replaces the blank sprite without an undo step.
    DocumentWindow* window = coordinator->newDocument();
    settle();
    window->sizePrompt()->setSpriteSize(24, 16);
    window->sizePrompt()->setBackground(NewSpriteView::Background::white);
    window->sizePrompt()->create();
    settle();
    EXPECT_EQ(window->document()->sprite().width, 24);
    EXPECT_EQ(window->document()->sprite().layers[0].cels[0]->pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_FALSE(window->document()->hasUnsavedChanges());
    EXPECT_FALSE(window->document()->undoStack()->canUndo());
}

// What can be refused is proven by the import service; here, that a refusal is shown and
// opens nothing, and that an accepted image becomes an unsaved, untitled window.
TEST_F(AppCoordinatorTest, ImportAndPasteAsNewSpriteTellRefusalsAndOpenAcceptedImages) {
    writeFile(path("broken.png"), "not an image");
    EXPECT_EQ(coordinator->importImage(path("broken.png")), nullptr);
    putPngOnClipboard(colourfulImage(5000, 10));
    coordinator->pasteAsNewSprite();
    QApplication::clipboard()->setText(QStringLiteral("words"));
    coordinator->pasteAsNewSprite();
    EXPECT_EQ(prompts.alertDetails.mid(0, 2),
              (QStringList{ImportError(ImportError::unreadableImage).message(),
                           ImportError(ImportError::tooLarge, 5000, 10).message()}));
    EXPECT_EQ(prompts.alerts[2], "The clipboard holds no image.");

    // Out of memory, each says what could not be done.
    colourfulImage(12, 10).save(path("hero.png"));
    putPngOnClipboard(colourfulImage(64, 64));
    {
        const MemoryError::FailingFrom noMemory(1);
        coordinator->importImage(path("hero.png"));
        coordinator->importFrames({path("hero.png"), FrameImportRequest::Kind::animation, {}});
        coordinator->pasteAsNewSprite();
    }
    EXPECT_EQ(prompts.alerts.mid(3),
              (QStringList{"“hero.png” could not be opened as a sprite.",
                           "“hero.png” could not be imported as frames.",
                           "The clipboard image could not become a sprite."}));
    EXPECT_EQ(prompts.alertDetails.mid(3), (QStringList{MemoryError::message("import this image"),
                                                        MemoryError::message("import these frames"),
                                                        MemoryError::message("paste")}));

    prompts.image = path("hero.png");
    coordinator->importImage();
    coordinator->pasteAsNewSprite();
    settle();
    ASSERT_EQ(coordinator->documentWindows().size(), 2);
    EXPECT_TRUE(coordinator->documentWindows()[0]->filePath().isEmpty());
    const PixelDocument* pasted = coordinator->documentWindows()[1]->document();
    EXPECT_EQ(pasted->sprite().width, 64);
    EXPECT_EQ(pasted->sprite().layers[0].cels[0]->pixel(3, 2), colourfulImage(64, 64).pixel(3, 2));
    for (const DocumentWindow* window : coordinator->documentWindows())
        EXPECT_FALSE(window->document()->hasUnsavedChanges());
}

TEST_F(AppCoordinatorTest, OpeningRefusesWhatIsNotAReadableProject) {
    QDir(folder.path()).mkpath("photos");
    writeFile(path("damaged.pixel/project.json"), "{ this is not json");
    for (const char* name : {"photos", "damaged.pixel", "missing.pixel"})
        EXPECT_EQ(coordinator->openDocument(path(name)), nullptr) << name;
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    ASSERT_EQ(prompts.alerts.size(), 3);
    EXPECT_EQ(prompts.alerts[0], "“photos” is not a Kestrin project.");
    EXPECT_EQ(prompts.alerts[1], "“damaged.pixel” could not be opened.");
    EXPECT_FALSE(prompts.alertDetails[1].isEmpty());
    EXPECT_TRUE(RecentProjects::all().isEmpty());
}

TEST_F(AppCoordinatorTest, SavedProjectOpensAgainOnceAndReplacesAnUntouchedUntitledWindow) {
    const Sprite sprite = NewSpriteView::makeSprite(6, 5, PixelColor(0xFF112233));
    DocumentWindow* original = coordinator->createDocument(sprite);
    prompts.saveLocation = path("walk.pixel");
    ASSERT_TRUE(saveAndWait(original));
    original->closeDiscarding();
    settle();

    const QPointer<DocumentWindow> blank = coordinator->newDocument();
    DocumentWindow* touched = coordinator->newDocument();
    touched->editor()->addLayer();
    coordinator->showWelcome();
    // The manifest inside a package stands for the package.
    DocumentWindow* opened = coordinator->openDocument(path("walk.pixel/project.json"));
    settle();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->filePath(), path("walk.pixel"));
    EXPECT_EQ(opened->document()->sprite(), sprite);
    EXPECT_FALSE(coordinator->welcomeWindow()->isVisible());
    EXPECT_EQ(coordinator->documentWindows(), (QList<DocumentWindow*>{touched, opened}));
    EXPECT_EQ(coordinator->openDocument(path("walk.pixel")), opened);
    EXPECT_EQ(RecentProjects::all(), QStringList{path("walk.pixel")});
    EXPECT_TRUE(blank.isNull());
}

// A save that cannot be written, or would replace what is no project, keeps the changes.
TEST_F(AppCoordinatorTest, SavingReplacesOnlyAProjectAndOnlyWhenAskedTo) {
    writeFile(path("holiday.pixel/beach.jpg"), "jpeg");
    DocumentWindow* window = spriteWindow();
    window->editor()->addLayer();
    for (const char* name : {"gone/Hero.pixel", "holiday.pixel"}) {
        prompts.saveLocation = path(name);
        EXPECT_FALSE(saveAndWait(window));
    }
    settle();
    EXPECT_TRUE(QFile::exists(path("holiday.pixel/beach.jpg")));
    EXPECT_EQ(prompts.alerts,
              (QStringList{"“Hero.pixel” could not be saved.",
                           "“holiday.pixel” already exists and is not a Kestrin project."}));
    EXPECT_FALSE(prompts.alertDetails[0].isEmpty());
    EXPECT_TRUE(window->filePath().isEmpty());
    EXPECT_TRUE(window->document()->hasUnsavedChanges());

    // An older project is replaced only when the user agrees; saving there again asks nothing.
    ProjectPackage::writePackage(Sprite::blank(9, 9), path("older.pixel"));
    prompts.saveLocation = path("older.pixel");
    EXPECT_FALSE(saveAsAndWait(window));
    EXPECT_EQ(ProjectPackage::readPackage(path("older.pixel")).width, 9);
    prompts.replaceAnswer = true;
    EXPECT_TRUE(saveAsAndWait(window));
    EXPECT_EQ(ProjectPackage::readPackage(path("older.pixel")).width, 8);
    EXPECT_TRUE(saveAsAndWait(window));
    EXPECT_EQ(prompts.replaceQuestions, (QStringList{"older.pixel", "older.pixel"}));
}

TEST_F(AppCoordinatorTest, ClosingWithUnsavedChangesAsksFirst) {
    DocumentWindow* window = spriteWindow();
    window->editor()->addLayer();

    // Cancel, and Save whose location dialog is cancelled, both keep the window.
    prompts.saveAnswers = {UserPrompts::SaveChoice::cancel, UserPrompts::SaveChoice::save};
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(coordinator->quit());
    settle();
    EXPECT_EQ(prompts.saveQuestions, (QStringList{"Untitled", "Untitled"}));
    EXPECT_EQ(quits, 0);

    // Save with a location writes the package, then the window closes.
    prompts.saveAnswers = {UserPrompts::SaveChoice::save};
    prompts.saveLocation = path("kept.pixel");
    EXPECT_TRUE(window->close());
    settle();
    EXPECT_EQ(ProjectPackage::readPackage(path("kept.pixel")).layers.size(), 2);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    EXPECT_EQ(quits, 1);

    // Quitting asks for each changed window; Don't Save throws the changes away.
    DocumentWindow* a = spriteWindow();
    DocumentWindow* b = spriteWindow();
    spriteWindow(); // unchanged: closes without a question
    a->editor()->addLayer();
    b->editor()->addEmptyFrame();
    prompts.saveQuestions.clear();
    prompts.saveAnswers = {UserPrompts::SaveChoice::discard, UserPrompts::SaveChoice::discard};
    EXPECT_TRUE(coordinator->quit());
    settle();
    EXPECT_EQ(prompts.saveQuestions.size(), 2);
    EXPECT_TRUE(coordinator->documentWindows().isEmpty());
    EXPECT_EQ(quits, 2);
}

// Save returns at once and the package is written beside the window. A save asked for while
// another runs waits its turn without a question; quitting meanwhile waits for both and asks
// nothing, since what the user saved is then on disk.
TEST_F(AppCoordinatorTest, QuittingDuringASaveWaitsForItToBeWritten) {
    DocumentWindow* window = coordinator->createDocument(slowToSave());
    settle();
    window->editor()->addLayer();
    prompts.saveLocation = path("big.pixel");
    ASSERT_TRUE(window->save());
    EXPECT_TRUE(window->saver()->isSaving());
    EXPECT_FALSE(QFile::exists(path("big.pixel")));
    ASSERT_TRUE(window->saver()->waitUntilIdle());
    EXPECT_TRUE(window->findChildren<WorkProgressDialog*>().isEmpty()); // its progress went too
    window->editor()->addLayer();
    ASSERT_TRUE(window->save());
    window->editor()->addLayer();
    const Sprite shown = window->document()->sprite();
    ASSERT_TRUE(window->save());
    EXPECT_TRUE(window->saver()->isSaving());
    EXPECT_TRUE(coordinator->quit());
    settle();
    EXPECT_TRUE(prompts.overwriteQuestions.isEmpty());
    EXPECT_TRUE(prompts.saveQuestions.isEmpty());
    EXPECT_TRUE(prompts.alerts.isEmpty());
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(ProjectPackage::readPackage(path("big.pixel")), shown);
}

TEST_F(AppCoordinatorTest, PathsGivenOrDroppedOpenAsProjectsOrNewSprites) {
    ProjectPackage::writePackage(Sprite::blank(3, 3), path("tiles.pixel"));
    colourfulImage(5, 4).save(path("hero.png"));
    EXPECT_EQ(coordinator->openPaths({path("tiles.pixel"), path("hero.png"), path("gone.pixel")}),
              2);
    settle();
    ASSERT_EQ(coordinator->documentWindows().size(), 2);
    EXPECT_EQ(coordinator->documentWindows()[0]->filePath(), path("tiles.pixel"));
    EXPECT_EQ(coordinator->documentWindows()[1]->document()->sprite().width, 5);
    EXPECT_EQ(prompts.alerts, QStringList{"“gone.pixel” could not be opened."});

    ProjectPackage::writePackage(Sprite::blank(7, 7), path("dropped.pixel"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path("dropped.pixel/project.json"))});
    DocumentWindow* target = coordinator->documentWindows()[0];
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    settle();
    ASSERT_EQ(coordinator->documentWindows().size(), 3);
    EXPECT_EQ(coordinator->documentWindows()[2]->filePath(), path("dropped.pixel"));
}

} // namespace
