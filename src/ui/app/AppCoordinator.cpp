#include "AppCoordinator.h"

#include "FrameImportService.h"

#include "AppSettings.h"
#include "AppearancePalette.h"
#include "Clipboard.h"
#include "DocumentAutosaver.h"
#include "EditorCommands.h"
#include "HelpWindow.h"
#include "ImportError.h"
#include "ImportService.h"
#include "InstanceChannel.h"
#include "MemoryError.h"
#include "PackageOpenDialog.h"
#include "PixelDocument.h"
#include "ProjectLocation.h"
#include "ProjectLock.h"
#include "ProjectOpening.h"
#include "ProjectPackage.h"
#include "RecentProjects.h"
#include "SelfInstaller.h"
#include "SpriteLimits.h"
#include "WelcomeView.h"
#include "WindowFrameMemory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {

AppCoordinator* sharedCoordinator = nullptr;
constexpr std::chrono::seconds abandonedSessionsDelay(2);
// How long a launch tries to reach the Kestrin already running before it carries on alone.
constexpr std::chrono::seconds handOverTimeout(5);

// The clipboard image for a new sprite. Nothing when the clipboard holds no image; throws
// ImportError for one that is too large or cannot be read.
std::optional<PixelRenderer::Buffer> clipboardPixels() {
    if (std::optional<PixelRenderer::Buffer> image = Clipboard::read())
        return image;
    if (const std::optional<QSize> size = Clipboard::imageSize();
        size && !SpriteLimits::isAllowedSize(size->width(), size->height()))
        throw ImportError(ImportError::tooLarge, size->width(), size->height());
    if (Clipboard::hasImage())
        throw ImportError(ImportError::unreadableImage);
    return std::nullopt;
}

void centerOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->move(
            WindowFrameMemory::centeredOrigin(window->size(), screen->availableGeometry()));
}

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

AppCoordinator::AppCoordinator(UserPrompts prompts, const QString& recoveryRoot, QObject* parent)
    : QObject(parent), userPrompts(std::move(prompts)),
      recoveryStore(std::make_unique<RecoveryStore>(recoveryRoot)), systemPalette(qApp->palette()) {
    sharedCoordinator = this;
    quitApplication = [] {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    };
    fixups.setShortcutHandler([this](QChar character) { return runSingleKeyShortcut(character); });
    connect(&AppSettings::shared(), &AppSettings::appearanceChanged, this,
            &AppCoordinator::applyAppearance);
    applyAppearance();
}

AppCoordinator::~AppCoordinator() {
    for (const QPointer<DocumentWindow>& window : std::as_const(windows))
        delete window.data();
    delete welcome.data();
    delete help.data();
    delete settings.data();
    // Recovery copies being written go into the store's folder: let them finish first.
    QThreadPool::globalInstance()->waitForDone();
    if (sharedCoordinator == this)
        sharedCoordinator = nullptr;
}

AppCoordinator* AppCoordinator::shared() {
    return sharedCoordinator;
}

void AppCoordinator::launch(const QStringList& paths) {
    auto* channel = new InstanceChannel(
        QCoreApplication::applicationFilePath(), [this] { quit(); }, this);
    if (SelfInstaller::installIfNeeded()) {
        handingOver = true;
        return;
    }
    // One Kestrin per session: a later launch (a second double-click on a project) hands its
    // paths to the one running, so that no project is edited by two processes.
    const InstanceChannel::SessionRole role = channel->joinSession(
        paths, [this](const QStringList& handed) { openHandedOver(handed); }, handOverTimeout);
    if (role == InstanceChannel::SessionRole::handedOver) {
        handingOver = true;
        quitApplication();
        return;
    }
    fixups.install();
    // An empty untitled window does not linger once a project opens beside it.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
        QMetaObject::invokeMethod(this, &AppCoordinator::closeLingeringUntitled,
                                  Qt::QueuedConnection);
    });
    const qint64 restored = offerRecovery();
    if (openPaths(paths) + restored == 0)
        newDocument();
    // Clearing out old sessions takes synced disk writes: not before the first window is drawn.
    QTimer::singleShot(abandonedSessionsDelay, this,
                       [this] { recoveryStore->removeAbandonedSessions(); });
}

void AppCoordinator::openHandedOver(const QStringList& paths) {
    if (openPaths(paths) == 0 && paths.isEmpty())
        newDocument();
}

DocumentWindow* AppCoordinator::newDocument() {
    DocumentWindow::Setup setup;
    if (pendingSprite) {
        setup.sprite = std::move(*pendingSprite);
        pendingSprite.reset();
    } else {
        const AppSettings& settings = AppSettings::shared();
        setup.sprite = Sprite::blank(std::clamp<qint64>(settings.defaultNewWidth(), 1, 2048),
                                     std::clamp<qint64>(settings.defaultNewHeight(), 1, 2048));
        setup.promptsForSize = true;
    }
    DocumentWindow* window = makeWindow(std::move(setup));
    closeWelcome();
    clearChangeCount(window);
    return window;
}

DocumentWindow* AppCoordinator::createDocument(const Sprite& sprite) {
    pendingSprite = sprite;
    return newDocument();
}

DocumentWindow* AppCoordinator::makeWindow(DocumentWindow::Setup setup) {
    auto* window = new DocumentWindow(*this, std::move(setup), nextSequence++);
    windows.append(window);
    connect(window, &DocumentWindow::closed, this, &AppCoordinator::windowClosed);
    connect(window->autosaver(), &DocumentAutosaver::copyFailed, this,
            &AppCoordinator::reportRecoveryUnavailable);
    WindowFrameMemory::observe(window, documentWindows().size());
    window->show();
    window->activateWindow();
    window->presentSizePromptIfNeeded();
    emit documentWindowsChanged();
    return window;
}

void AppCoordinator::clearChangeCount(DocumentWindow* window) {
    QMetaObject::invokeMethod(
        window, [window] { window->document()->setHasUnsavedChanges(false); },
        Qt::QueuedConnection);
}

void AppCoordinator::cancelNewSprite(DocumentWindow* window) {
    QMetaObject::invokeMethod(window, &DocumentWindow::closeDiscarding, Qt::QueuedConnection);
}

void AppCoordinator::windowClosed(DocumentWindow* window) {
    windows.removeAll(window);
    emit documentWindowsChanged();
    QMetaObject::invokeMethod(this, &AppCoordinator::quitWhenNothingIsShown, Qt::QueuedConnection);
}

bool AppCoordinator::isAnythingShown() const {
    return !documentWindows().isEmpty() || (welcome && welcome->isVisible()) ||
           (help && help->isVisible()) || (settings && settings->isVisible());
}

// A Linux application without a window could not be reached again, so the last window
// closing ends it, whichever kind it was.
void AppCoordinator::quitWhenNothingIsShown() {
    if (!quitting && !isAnythingShown())
        quitApplication();
}

bool AppCoordinator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close &&
        (watched == welcome || watched == help || watched == settings))
        QMetaObject::invokeMethod(this, &AppCoordinator::quitWhenNothingIsShown,
                                  Qt::QueuedConnection);
    return false;
}

void AppCoordinator::importImage() {
    const QString path = userPrompts.chooseImage(alertParent());
    if (!path.isEmpty())
        importImage(path);
}

DocumentWindow* AppCoordinator::importImage(const QString& path) {
    try {
        return createDocument(ImportService::spriteFromImageAt(path));
    } catch (const ImportError& error) {
        alert(tr("“%1” could not be opened as a sprite.").arg(QFileInfo(path).fileName()),
              error.message());
    } catch (const std::bad_alloc&) {
        alert(tr("“%1” could not be opened as a sprite.").arg(QFileInfo(path).fileName()),
              MemoryError::message(tr("import this image")));
    }
    return nullptr;
}

void AppCoordinator::importFrames() {
    if (const auto request = userPrompts.chooseFrameImport(alertParent()))
        importFrames(*request);
}

DocumentWindow* AppCoordinator::importFrames(const FrameImportRequest& request) {
    try {
        return createDocument(FrameImportService::import(request));
    } catch (const ImportError& error) {
        alert(tr("“%1” could not be imported as frames.").arg(QFileInfo(request.path).fileName()),
              error.message());
    } catch (const std::bad_alloc&) {
        alert(tr("“%1” could not be imported as frames.").arg(QFileInfo(request.path).fileName()),
              MemoryError::message(tr("import these frames")));
    }
    return nullptr;
}

void AppCoordinator::pasteAsNewSprite() {
    try {
        if (const std::optional<PixelRenderer::Buffer> pixels = clipboardPixels())
            createDocument(ImportService::spriteFromPixels(*pixels, QStringLiteral("Pasted")));
        else
            alert(tr("The clipboard holds no image."),
                  tr("Copy an image, then choose Paste as New Sprite again."));
    } catch (const ImportError& error) {
        alert(tr("The clipboard image could not become a sprite."), error.message());
    } catch (const std::bad_alloc&) {
        alert(tr("The clipboard image could not become a sprite."),
              MemoryError::message(tr("paste")));
    }
}

void AppCoordinator::open() {
    const QString path = userPrompts.chooseProject(alertParent());
    if (!path.isEmpty())
        openDocument(path);
}

DocumentWindow* AppCoordinator::openDocument(const QString& path) {
    const QString package = PackageOpenDialog::packageFor(path);
    const QFileInfo info(package.isEmpty() ? QFileInfo(path).absoluteFilePath() : package);
    if (DocumentWindow* window = windowFor(info.absoluteFilePath())) {
        bringForward(window);
        closeWelcome();
        return window;
    }
    if (info.exists() && package.isEmpty()) {
        alert(tr("“%1” is not a Kestrin project.").arg(info.fileName()),
              tr("A project is a folder whose name ends in “.pixel”, with a “project.json” "
                 "file inside."));
        return nullptr;
    }
    std::optional<ProjectOpening::Opened> opened =
        ProjectOpening::open(ProjectLocation::canonical(info.absoluteFilePath()), info.fileName(),
                             userPrompts, alertParent());
    if (!opened) {
        if (!info.exists())
            RecentProjects::remove(info.absoluteFilePath());
        return nullptr;
    }
    DocumentWindow* window =
        makeWindow({std::move(opened->sprite), info.absoluteFilePath(), false, opened->readOnly});
    RecentProjects::add(info.absoluteFilePath());
    closeWelcome();
    closeLingeringUntitled();
    return window;
}

// Image files become new sprites; anything else is taken for a project.
qint64 AppCoordinator::openPaths(const QStringList& paths) {
    qint64 opened = 0;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const bool isImage = info.isFile() && info.fileName() != ProjectPackage::manifestFileName;
        if (isImage ? importImage(path) != nullptr : openDocument(path) != nullptr)
            ++opened;
    }
    return opened;
}

qint64 AppCoordinator::offerRecovery() {
    qint64 restored = 0;
    for (const RecoveryStore::Leftover& leftover : recoveryStore->leftovers()) {
        if (!userPrompts.askToRestore(leftover.entry.title, leftover.entry.savedAt))
            recoveryStore->discardLeftover(leftover);
        else if (restore(leftover))
            ++restored;
    }
    return restored;
}

// The recovered document opens with unsaved changes, belonging to its project unless that
// is open already or another Kestrin holds it; its copy moves into this run's recovery
// folder. A copy that cannot be read can be tried again, discarded, or kept for later.
bool AppCoordinator::restore(const RecoveryStore::Leftover& leftover) {
    std::optional<Sprite> sprite =
        ProjectOpening::readRecovered(leftover, *recoveryStore, userPrompts);
    if (!sprite)
        return false;
    QString original = leftover.entry.originalPath;
    if (!original.isEmpty() &&
        (windowFor(original) ||
         ProjectLock::acquire(ProjectLocation::canonical(original)).outcome ==
             ProjectLock::Outcome::heldByOther))
        original.clear();
    DocumentWindow* window = makeWindow({std::move(*sprite), original, false});
    window->document()->setHasUnsavedChanges(true);
    if (!recoveryStore->adopt(leftover, window->autosaver()->id()))
        window->autosaver()->writeSoon();
    return true;
}

void AppCoordinator::reportRecoveryUnavailable() {
    if (toldRecoveryUnavailable)
        return;
    toldRecoveryUnavailable = true;
    alert(tr("Kestrin cannot keep recovery copies of your work."),
          tr("The folder “%1” cannot be written, so unsaved changes would be lost if Kestrin "
             "stopped unexpectedly. Save your work often, or make that folder writable.")
              .arg(QDir::toNativeSeparators(recoveryStore->rootDirectory())));
}

bool AppCoordinator::quit() {
    quitting = true;
    for (DocumentWindow* window : documentWindows()) {
        if (!window->close()) {
            quitting = false;
            return false;
        }
    }
    for (QWidget* window : {static_cast<QWidget*>(welcome), static_cast<QWidget*>(help),
                            static_cast<QWidget*>(settings)}) {
        if (window)
            window->hide();
    }
    quitApplication();
    return true;
}

void AppCoordinator::showWelcome() {
    if (!welcome) {
        welcome = new WelcomeView;
        welcome->onNewSprite = [this] { newDocument(); };
        welcome->onOpen = [this] { open(); };
        welcome->onImport = [this] { importImage(); };
        welcome->onHelp = [this] { showHelp(); };
        welcome->onQuit = [this] { quit(); };
        welcome->onOpenRecent = [this](const QString& path) {
            if (!openDocument(path) && welcome)
                welcome->reloadRecents();
        };
        welcome->installEventFilter(this);
    }
    centerOnScreen(welcome);
    bringForward(welcome);
}

void AppCoordinator::closeWelcome() {
    if (welcome && welcome->isVisible())
        welcome->close();
}

void AppCoordinator::showHelp() {
    if (!help) {
        help = new HelpWindow;
        help->installEventFilter(this);
    }
    if (!help->isVisible())
        centerOnScreen(help);
    bringForward(help);
}

void AppCoordinator::showSettings() {
    if (!settings) {
        settings = new SettingsWindow;
        settings->openHelp = [this] { showHelp(); };
        settings->installEventFilter(this);
    }
    if (!settings->isVisible())
        centerOnScreen(settings);
    bringForward(settings);
}

QList<DocumentWindow*> AppCoordinator::documentWindows() const {
    QList<DocumentWindow*> open;
    for (const QPointer<DocumentWindow>& window : windows) {
        if (window)
            open.append(window);
    }
    return open;
}

qint64 AppCoordinator::freeUntitledNumber() const {
    QSet<qint64> taken;
    for (const DocumentWindow* window : documentWindows()) {
        if (window->filePath().isEmpty())
            taken.insert(window->untitledNumber());
    }
    qint64 number = 1;
    while (taken.contains(number))
        ++number;
    return number;
}

DocumentWindow* AppCoordinator::activeDocumentWindow() const {
    return qobject_cast<DocumentWindow*>(QApplication::activeWindow());
}

DocumentWindow* AppCoordinator::windowFor(const QString& path) const {
    if (path.isEmpty())
        return nullptr;
    // Links, trailing slashes and "project.json" all lead to the same project.
    const QString wanted = ProjectLocation::canonical(path);
    for (DocumentWindow* window : documentWindows()) {
        if (!window->filePath().isEmpty() &&
            ProjectLocation::canonical(window->filePath()) == wanted)
            return window;
    }
    return nullptr;
}

// The untitled windows made before the newest project window, as long as nobody touched them.
void AppCoordinator::closeLingeringUntitled() {
    qint64 newestProject = -1;
    const QList<DocumentWindow*> open = documentWindows();
    for (DocumentWindow* window : open) {
        if (!window->filePath().isEmpty())
            newestProject = std::max(newestProject, window->sequence());
    }
    for (DocumentWindow* window : open) {
        if (window->isUntouchedBlank() && window->sequence() < newestProject)
            window->closeDiscarding();
    }
}

bool AppCoordinator::runSingleKeyShortcut(QChar character) {
    DocumentWindow* window = activeDocumentWindow();
    return window && window->commands()->triggerSingleKey(character);
}

void AppCoordinator::applyAppearance() {
    QApplication::setPalette(
        AppearancePalette::forMode(AppSettings::shared().appearance(), systemPalette));
}

QWidget* AppCoordinator::alertParent() const {
    if (DocumentWindow* window = activeDocumentWindow())
        return window;
    return welcome && welcome->isVisible() ? welcome.data() : nullptr;
}

void AppCoordinator::alert(const QString& message, const QString& detail) {
    userPrompts.alert(alertParent(), message, detail);
}
