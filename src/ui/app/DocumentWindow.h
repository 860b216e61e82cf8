#pragma once

#include "NewSpriteView.h"
#include "Sprite.h"
#include "UserPrompts.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class AppCoordinator;
class DocumentAutosaver;
class DocumentSaver;
class EditorCommands;
class EditorState;
class EditorView;
class ExportSheet;

class PixelDocument;
class ProjectClaim;
class WorkProgressDialog;

// The window of one document: it owns the document and its editor state, shows the editor
// view with the menus, saves to a project package, asks before unsaved changes are lost and
// keeps a recovery copy while there are any.
class DocumentWindow : public QMainWindow {
    Q_OBJECT

public:
    struct Setup {
        Sprite sprite;
        QString filePath; // the project package; empty for a new document
        bool promptsForSize = false;
        // Another Kestrin holds the project: Save goes through Save As….
        bool readOnly = false;
    };

    // sequence orders the windows by when they were made.
    DocumentWindow(AppCoordinator& coordinator, Setup setup, qint64 sequence);
    ~DocumentWindow() override;

    PixelDocument* document() const { return doc.get(); }
    EditorState* editor() const { return editorState.get(); }
    EditorView* view() const { return editorView; }
    EditorCommands* commands() const { return editorCommands; }
    DocumentAutosaver* autosaver() const { return recoveryCopy; }
    DocumentSaver* saver() const { return packageWriter; }
    NewSpriteView* sizePrompt() const { return sizeSheet; }
    ExportSheet* exportSheet() const;

    QString filePath() const { return path; }
    ProjectClaim* projectClaim() const { return claim; }
    bool isReadOnly() const;
    // The package's name without its extension, or "Untitled" ("Untitled 2", … while other
    // untitled windows were open when this one was made).
    QString displayName() const;
    qint64 untitledNumber() const { return untitled; }
    qint64 sequence() const { return order; }
    // A new blank document nobody has touched: no file, no changes, nothing to undo.
    bool isUntouchedBlank() const;

    // Presents the new-sprite sheet over the window when the document asks for a size.
    void presentSizePromptIfNeeded();
    // The sheet's result: the sprite replaces the blank one, and neither the change nor
    // anything before it can be undone.
    void replaceSprite(const Sprite& sprite);

    // Saves to the package, asking for one when the document has none. The package is written
    // on a worker thread while the user goes on; a failure is shown when it ends. False when
    // cancelled or refused, true when the save is on its way (saver() tells when it ends).
    bool save();
    bool saveAs();
    // Shows the project as it is on disk now, as one step that Undo takes back.
    void reloadFromDisk();
    // Closes without asking, throwing away any changes (a cancelled new sprite, an empty
    // untitled window beside an opened project).
    void closeDiscarding();

signals:
    // The window has agreed to close; it is deleted soon after.
    void closed(DocumentWindow* window);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Projects and images dropped on the window open beside it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Open sheets follow the window (the window manager may place it after they were shown).
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeSheets();
    bool mayClose();
    bool writeTo(const QString& target);
    // The saver's outcomes.
    void showSaveStarted(const QString& target);
    void saveWritten(const QString& target, qint64 revision);
    void saveFailed(const QString& target, const QString& message);
    bool isSafeSaveTarget(const QString& target);
    // Before Save replaces the project: asks when another application changed it since this
    // window read or wrote it.
    UserPrompts::OverwriteChoice overwriteChoice();
    // The project changed on disk: reloaded when nothing here is unsaved, else the user
    // chooses.
    void projectChangedElsewhere();
    // Leaves the size sheet for the Open dialog, and comes back to it when nothing opened.
    void openInsteadOfNewSprite();
    void updateTitle();
    void trackTextEditing(QWidget* focus);
    // Follows the editor's exportSheetPresented: shows the sheet, or closes it.
    void presentExportSheet(bool presented);

    AppCoordinator& coordinator;
    std::unique_ptr<PixelDocument> doc;
    std::unique_ptr<EditorState> editorState;
    EditorView* editorView = nullptr;
    EditorCommands* editorCommands = nullptr;
    DocumentSaver* packageWriter = nullptr;
    DocumentAutosaver* recoveryCopy = nullptr;
    ProjectClaim* claim = nullptr;
    QPointer<WorkProgressDialog> saveProgress;
    QPointer<NewSpriteView> sizeSheet;
    QPointer<ExportSheet> exportDialog;
    QString path;
    qint64 order;
    qint64 untitled; // told apart while unsaved: "Untitled 2"
    bool blankOrigin;
    bool discarding = false;
};
