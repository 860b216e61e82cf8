#pragma once

#include "DocumentWindow.h"
#include "HelpWindow.h"
#include "KeyboardFixups.h"
#include "RecoveryStore.h"
#include "SettingsWindow.h"
#include "Sprite.h"
#include "UserPrompts.h"
#include "WelcomeView.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

// The application's one coordinator: it runs the launch, makes every document window (from a
// pending sprite, a file, a recovered copy or blank with a size prompt), owns the welcome,
// help and settings windows, and quits once nothing is left on screen.
class AppCoordinator : public QObject {
    Q_OBJECT

public:
    explicit AppCoordinator(UserPrompts prompts = UserPrompts::dialogs(),
                            const QString& recoveryRoot = RecoveryStore::defaultRoot(),
                            QObject* parent = nullptr);
    // Closes the windows still open without asking; their recovery copies stay.
    ~AppCoordinator() override;

    static AppCoordinator* shared();

    // The launch after the application object exists: the quit channel, the self-installer
    // (which may hand over to an installed copy), the keyboard fixups, the offer to restore
    // work a previous run left behind, the paths given to open, and else a new document.
    void launch(const QStringList& paths);
    bool isHandingOver() const { return handingOver; }

    // --- documents ---
    // A new document: from the pending sprite when there is one, else blank and asking for
    // its size over its own window. Closes the welcome window.
    DocumentWindow* newDocument();
    DocumentWindow* createDocument(const Sprite& sprite);
    // On the next turn of the event loop, the window's document counts as unchanged.
    void clearChangeCount(DocumentWindow* window);
    // On the next turn of the event loop, closes the window whose size prompt was cancelled;
    // quits when nothing else is left on screen.
    void cancelNewSprite(DocumentWindow* window);
    void importImage();
    DocumentWindow* importImage(const QString& path);
    // File ▸ Import as Frames…: one new document with a frame per image.
    void importFrames();
    DocumentWindow* importFrames(const FrameImportRequest& request);
    void pasteAsNewSprite();
    void open();
    // Opens a project package (or the package of a "project.json"), or brings forward the
    // window that has it open already. Failures are shown; null then.
    DocumentWindow* openDocument(const QString& path);
    // Projects and images named on the command line; the number of windows opened.
    qint64 openPaths(const QStringList& paths);
    // Offers each document a previous run left unsaved; the number restored.
    qint64 offerRecovery();
    // Closes every document window, asking about unsaved changes, then quits. False when
    // the user kept a window open.
    bool quit();

    // --- windows ---
    void showWelcome();
    void showHelp();
    void showSettings();
    WelcomeView* welcomeWindow() const { return welcome; }
    HelpWindow* helpWindow() const { return help; }
    SettingsWindow* settingsWindow() const { return settings; }
    QList<DocumentWindow*> documentWindows() const;
    // The lowest number no open untitled window goes by: "Untitled" is 1, then "Untitled 2"…
    qint64 freeUntitledNumber() const;
    // The document window the user works in, if the active window is one.
    DocumentWindow* activeDocumentWindow() const;
    DocumentWindow* windowFor(const QString& path) const;

    const UserPrompts& prompts() const { return userPrompts; }
    RecoveryStore& recovery() { return *recoveryStore; }
    KeyboardFixups& keyboardFixups() { return fixups; }

    // Ends the application; QCoreApplication::quit on the next turn unless replaced.
    std::function<void()> quitApplication;

signals:
    void documentWindowsChanged();

protected:
    // Notices the welcome, help and settings windows closing.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DocumentWindow* makeWindow(DocumentWindow::Setup setup);
    void windowClosed(DocumentWindow* window);
    void closeWelcome();
    bool isAnythingShown() const;
    void quitWhenNothingIsShown();
    void closeLingeringUntitled();
    bool runSingleKeyShortcut(QChar character);
    void applyAppearance();
    QWidget* alertParent() const;
    void alert(const QString& message, const QString& detail = {});
    bool restore(const RecoveryStore::Leftover& leftover);
    // Opens what a later launch of Kestrin handed over.
    void openHandedOver(const QStringList& paths);
    // Once per run: recovery copies cannot be written, and where.
    void reportRecoveryUnavailable();

    UserPrompts userPrompts;
    std::unique_ptr<RecoveryStore> recoveryStore;
    KeyboardFixups fixups;
    std::optional<Sprite> pendingSprite;
    QList<QPointer<DocumentWindow>> windows;
    QPointer<WelcomeView> welcome;
    QPointer<HelpWindow> help;
    QPointer<SettingsWindow> settings;
    QPalette systemPalette;
    qint64 nextSequence = 0;
    bool handingOver = false;
    bool toldRecoveryUnavailable = false;
    bool quitting = false;
};
