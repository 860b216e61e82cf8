#include "DocumentWindow.h"

#include "AppCoordinator.h"
#include "AppSettings.h"
#include "ApplicationResources.h"
#include "DocumentAutosaver.h"
#include "DocumentSaver.h"
#include "EditorCommands.h"
#include "EditorState.h"
#include "EditorView.h"
#include "ExportSheet.h"
#include "KeyboardFixups.h"
#include "NewSpriteView.h"
#include "PackageError.h"
#include "ProjectClaim.h"
#include "ProjectLocation.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"
#include "RecentProjects.h"
#include "RecoveryStore.h"
#include "UndoMemory.h"
#include "WorkProgressDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStandardPaths>

namespace {

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

DocumentWindow::DocumentWindow(AppCoordinator& coordinator, Setup setup, qint64 sequence)
    : coordinator(coordinator), doc(std::make_unique<PixelDocument>(std::move(setup.sprite))),
      path(std::move(setup.filePath)), order(sequence), untitled(coordinator.freeUntitledNumber()),
      blankOrigin(setup.promptsForSize) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    setWindowIcon(ApplicationResources::applicationIcon());
    doc->setPromptsForSize(setup.promptsForSize);
    editorState = std::make_unique<EditorState>(doc.get());
    editorState->setUndoManager(doc->undoStack());
    // A new window starts from the last choices; pixel-perfect is remembered for the next one.
    AppSettings& settings = AppSettings::shared();
    editorState->setPixelPerfect(settings.pixelPerfect());
    editorState->view().setShowPixelGrid(settings.showPixelGrid());
    // Changing the setting shows or hides the grid in every open window, not only new ones.
    connect(&settings, &AppSettings::showPixelGridChanged, &editorState->view(),
            &EditorViewState::setShowPixelGrid);
    connect(editorState.get(), &EditorState::pixelPerfectChanged, &settings,
            &AppSettings::setPixelPerfect);
    const auto applyUndoMemory = [this](qint64 megabytes) {
        doc->setUndoBudget(megabytes > 0 ? megabytes << 20 : UndoMemory::defaultBudget());
    };
    applyUndoMemory(settings.undoMemoryMegabytes());
    connect(&settings, &AppSettings::undoMemoryMegabytesChanged, doc.get(), applyUndoMemory);
    connect(editorState.get(), &EditorState::refused, this, [this](const QString& message) {
        this->coordinator.prompts().alert(this, message, {});
    });

    editorView = new EditorView(editorState.get());
    setCentralWidget(editorView);
    editorCommands = new EditorCommands(*this, coordinator);

    packageWriter = new DocumentSaver(doc.get(), this);
    connect(packageWriter, &DocumentSaver::saveStarted, this, &DocumentWindow::showSaveStarted);
    connect(packageWriter, &DocumentSaver::saved, this, &DocumentWindow::saveWritten);
    connect(packageWriter, &DocumentSaver::failed, this, &DocumentWindow::saveFailed);
    connect(packageWriter, &DocumentSaver::progressed, this, [this](qint64 done, qint64 total) {
        if (saveProgress)
            saveProgress->showProgress(done, total);
    });
    recoveryCopy = new DocumentAutosaver(doc.get(), packageWriter, &coordinator.recovery(),
                                         RecoveryStore::newID(), this);
    recoveryCopy->describe = [this] { return DocumentAutosaver::Description{path, displayName()}; };
    recoveryCopy->isBusy = [this] { return editorState->isGestureActive(); };

    claim = new ProjectClaim(this);
    if (!path.isEmpty())
        claim->follow(path, setup.readOnly);
    connect(claim, &ProjectClaim::changedElsewhere, this, &DocumentWindow::projectChangedElsewhere);

    connect(doc.get(), &PixelDocument::hasUnsavedChangesChanged, this, &QWidget::setWindowModified);
    connect(&editorState->view(), &EditorViewState::exportSheetPresentedChanged, this,
            &DocumentWindow::presentExportSheet);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { trackTextEditing(now); });
    updateTitle();
    resize(1100, 720);
}

// The views read the editor and the document while they go, so they go first, then the
// editor, then the document it points at.
DocumentWindow::~DocumentWindow() {
    disconnect(qApp, nullptr, this, nullptr); // focus moves while the widgets go
    delete exportDialog;                      // it reads the editor until it has gone
    delete takeCentralWidget();
    delete editorCommands;
    editorState.reset();
}

QString DocumentWindow::displayName() const {
    if (!path.isEmpty())
        return QFileInfo(path).completeBaseName();
    return untitled > 1 ? tr("Untitled %1").arg(untitled) : tr("Untitled");
}

bool DocumentWindow::isReadOnly() const {
    return claim->isReadOnly();
}

bool DocumentWindow::isUntouchedBlank() const {
    return blankOrigin && path.isEmpty() && !doc->hasUnsavedChanges() &&
           doc->undoStack()->count() == 0;
}

void DocumentWindow::presentSizePromptIfNeeded() {
    if (!doc->promptsForSize())
        return;
    doc->setPromptsForSize(false);
    sizeSheet = new NewSpriteView(this);
    sizeSheet->setAttribute(Qt::WA_DeleteOnClose);
    sizeSheet->onCreate = [this](const Sprite& sprite) { replaceSprite(sprite); };
    sizeSheet->onCancel = [this] { coordinator.cancelNewSprite(this); };
    sizeSheet->onOpen = [this] {
        QMetaObject::invokeMethod(this, &DocumentWindow::openInsteadOfNewSprite,
                                  Qt::QueuedConnection);
    };
    sizeSheet->open();
    placeSheets();
}

void DocumentWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    placeSheets();
}

void DocumentWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeSheets();
}

// Centred over the window, so that a sheet never sits over another window.
void DocumentWindow::placeSheets() {
    for (QDialog* sheet :
         {static_cast<QDialog*>(sizeSheet.data()), static_cast<QDialog*>(exportDialog.data())}) {
        if (!sheet || !sheet->isVisible())
            continue;
        const QSize size = sheet->frameGeometry().size();
        sheet->move(geometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

void DocumentWindow::openInsteadOfNewSprite() {
    if (!sizeSheet)
        return;
    sizeSheet->hide();
    const QPointer<DocumentWindow> self(this);
    coordinator.open();
    // A project that opened closed this untouched window; otherwise the sheet comes back.
    if (self && isVisible() && sizeSheet && !discarding)
        sizeSheet->open();
}

ExportSheet* DocumentWindow::exportSheet() const {
    return exportDialog;
}

void DocumentWindow::presentExportSheet(bool presented) {
    if (!presented) {
        if (exportDialog)
            exportDialog->reject();
        return;
    }
    if (exportDialog)
        return;
    exportDialog = new ExportSheet(editorState.get(), displayName(), this);
    exportDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(exportDialog, &QDialog::finished, this,
            [this] { editorState->view().setExportSheetPresented(false); });
    exportDialog->open();
    placeSheets();
}

void DocumentWindow::replaceSprite(const Sprite& sprite) {
    doc->setSprite(sprite);
    doc->notifyStructureChanged();
    editorState->spriteWasReplaced();
    doc->undoStack()->clear();
    doc->setHasUnsavedChanges(false);
}

bool DocumentWindow::save() {
    if (path.isEmpty() || isReadOnly())
        return saveAs();
    switch (overwriteChoice()) {
    case UserPrompts::OverwriteChoice::saveAnyway:
        return writeTo(path);
    case UserPrompts::OverwriteChoice::saveAs:
        return saveAs();
    case UserPrompts::OverwriteChoice::cancel:
        break;
    }
    return false;
}

// While a save of this window runs, the package on disk is that save's work.
UserPrompts::OverwriteChoice DocumentWindow::overwriteChoice() {
    if (packageWriter->isSaving() || !claim->changedOnDisk())
        return UserPrompts::OverwriteChoice::saveAnyway;
    raise();
    activateWindow();
    return coordinator.prompts().askToOverwriteChanged(this, displayName());
}

void DocumentWindow::projectChangedElsewhere() {
    if (packageWriter->isSaving())
        return; // the change is this window's own save
    if (!doc->hasUnsavedChanges() || coordinator.prompts().askToReloadChanged(this, displayName()))
        reloadFromDisk();
}

void DocumentWindow::reloadFromDisk() {
    Sprite onDisk;
    try {
        onDisk = ProjectPackage::readPackage(claim->project());
    } catch (const PackageError& error) {
        coordinator.prompts().alert(
            this, tr("“%1” changed on disk and could not be read again.").arg(displayName()),
            error.message());
        return;
    }
    claim->acceptDisk();
    doc->performStructuralEdit(tr("Reload"), doc->undoStack(),
                               [&onDisk](Sprite& sprite) { sprite = onDisk; });
    editorState->spriteWasReplaced();
    doc->setHasUnsavedChanges(false);
}

bool DocumentWindow::saveAs() {
    const QString suggested =
        path.isEmpty() ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                             .filePath(displayName() + u'.' + ProjectPackage::fileExtension)
                       : path;
    const QString target = coordinator.prompts().chooseSaveLocation(this, suggested);
    if (target.isEmpty() || !isSafeSaveTarget(target))
        return false;
    return writeTo(target);
}

// Saving replaces whatever is at the path; that may only be a project the user agrees to
// replace, and not one another window is editing.
bool DocumentWindow::isSafeSaveTarget(const QString& target) {
    const QFileInfo info(target);
    const QString name = info.fileName();
    DocumentWindow* other = coordinator.windowFor(target);
    if (other && other != this) {
        coordinator.prompts().alert(this, tr("“%1” is open in another window.").arg(name),
                                    tr("Close it first, or save under another name."));
        return false;
    }
    const bool isProject = ProjectLocation::isProject(target);
    if (ProjectLocation::existsOrLinks(target) && !isProject) {
        coordinator.prompts().alert(
            this, tr("“%1” already exists and is not a Kestrin project.").arg(name),
            tr("Choose another name, so that it is not replaced."));
        return false;
    }
    const QString real = ProjectLocation::canonical(target);
    const ProjectLock::Holder me = ProjectLock::currentProcess();
    if (const std::optional<ProjectLock::Holder> holder = ProjectLock::holder(real);
        isProject && (real != claim->project() || isReadOnly()) && holder &&
        !holder->isSameProcess(me) && !ProjectLock::isStale(*holder, me)) {
        coordinator.prompts().alert(
            this, tr("“%1” is being edited by %2.").arg(name, holder->description()),
            tr("Choose another name, so that neither of you loses work."));
        return false;
    }
    // The file dialog cannot confirm replacing a folder; an older project asks here.
    return !isProject || info.absoluteFilePath() == path ||
           coordinator.prompts().askToReplace(this, name);
}

bool DocumentWindow::writeTo(const QString& target) {
    packageWriter->save(target);
    return true;
}

// A save that takes longer than a moment shows its progress over the window, until the last
// save waiting has been written; a quick one never shows it.
void DocumentWindow::showSaveStarted(const QString& target) {
    if (!saveProgress)
        saveProgress = new WorkProgressDialog(tr("Save"), QString(), this);
    saveProgress->setLabelText(tr("Saving “%1”…").arg(QFileInfo(target).completeBaseName()));
}

void DocumentWindow::saveWritten(const QString& target, qint64 revision) {
    if (!packageWriter->isSaving())
        delete saveProgress;
    path = QFileInfo(target).absoluteFilePath();
    claim->wrote(path);
    updateTitle();
    RecentProjects::add(path);
    // Changes made while the save ran are not in the package: their copy stays.
    if (doc->revision() == revision)
        recoveryCopy->discard();
}

void DocumentWindow::saveFailed(const QString& target, const QString& message) {
    if (!packageWriter->isSaving())
        delete saveProgress;
    coordinator.prompts().alert(
        this, tr("“%1” could not be saved.").arg(QFileInfo(target).fileName()), message);
}

void DocumentWindow::closeDiscarding() {
    discarding = true;
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    // A save under way always ends first: what it writes is the user's.
    packageWriter->waitUntilIdle();
    if (!discarding && !mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    recoveryCopy->discard();
    claim->release();
    emit closed(this);
}

void DocumentWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// Opening waits for the drop to finish, so alerts do not run inside the drag.
void DocumentWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    AppCoordinator* opener = &coordinator;
    QMetaObject::invokeMethod(
        opener, [opener, paths] { opener->openPaths(paths); }, Qt::QueuedConnection);
}

bool DocumentWindow::mayClose() {
    if (!doc->hasUnsavedChanges())
        return true;
    raise();
    activateWindow();
    switch (coordinator.prompts().askToSave(this, displayName())) {
    case UserPrompts::SaveChoice::save:
        return save() && packageWriter->waitUntilIdle();
    case UserPrompts::SaveChoice::discard:
        return true;
    case UserPrompts::SaveChoice::cancel:
        break;
    }
    return false;
}

void DocumentWindow::updateTitle() {
    setWindowTitle(isReadOnly() ? tr("%1 (Read-Only)[*]").arg(displayName())
                                : displayName() + QStringLiteral("[*]"));
    setWindowModified(doc->hasUnsavedChanges());
}

// Single-key commands stay out of the way while a text field of this window, or of a sheet
// over it, has focus.
void DocumentWindow::trackTextEditing(QWidget* focus) {
    // An open menu holds the focus only while it is open: the single-key items it shows are
    // judged by the field that had the focus before.
    if (qobject_cast<QMenu*>(focus) || qobject_cast<QMenuBar*>(focus))
        return;
    bool inside = false;
    for (QWidget* widget = focus; widget && !inside; widget = widget->parentWidget())
        inside = widget == this;
    editorState->view().setEditingText(inside && KeyboardFixups::textFieldOf(focus));
}
