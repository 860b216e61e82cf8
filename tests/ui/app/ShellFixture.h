#pragma once

#include "AppCoordinator.h"
#include "CanvasView.h"
#include "DocumentSaver.h"
#include "DocumentWindow.h"
#include "EditorState.h"
#include "EditorView.h"
#include "PixelDocument.h"
#include "RecentProjects.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// What the fake prompts were asked, and what they answer.
struct PromptLog {
    QStringList alerts;
    QStringList alertDetails;
    QStringList saveQuestions;
    QList<UserPrompts::SaveChoice> saveAnswers; // taken from the front; cancel when empty
    QString saveLocation;                       // empty: the save dialog is cancelled
    QStringList replaceQuestions;
    bool replaceAnswer = false;
    QString project;
    QString image;
    std::optional<FrameImportRequest> frameImport;
    QStringList restoreQuestions;
    bool restoreAnswer = true;
    QStringList failedRestores;
    QList<UserPrompts::FailedRestoreChoice> failedRestoreAnswers; // keep when empty
    QStringList lockedQuestions;                                  // "name|holder"
    bool openReadOnlyAnswer = false;
    QStringList overwriteQuestions;
    UserPrompts::OverwriteChoice overwriteAnswer = UserPrompts::OverwriteChoice::cancel;
    QStringList reloadQuestions;
    bool reloadAnswer = false;
};

inline UserPrompts fakePrompts(PromptLog& log) {
    return UserPrompts{
        .alert =
            [&log](QWidget*, const QString& message, const QString& detail) {
                log.alerts << message;
                log.alertDetails << detail;
            },
        .askToSave =
            [&log](QWidget*, const QString& name) {
                log.saveQuestions << name;
                return log.saveAnswers.isEmpty() ? UserPrompts::SaveChoice::cancel
                                                 : log.saveAnswers.takeFirst();
            },
        .chooseSaveLocation = [&log](QWidget*, const QString&) { return log.saveLocation; },
        .askToReplace =
            [&log](QWidget*, const QString& name) {
                log.replaceQuestions << name;
                return log.replaceAnswer;
            },
        .chooseProject = [&log](QWidget*) { return log.project; },
        .chooseImage = [&log](QWidget*) { return log.image; },
        .chooseFrameImport = [&log](QWidget*) { return log.frameImport; },
        .askToRestore =
            [&log](const QString& name, const QDateTime&) {
                log.restoreQuestions << name;
                return log.restoreAnswer;
            },
        .askAfterFailedRestore =
            [&log](const QString& name, const QString&) {
                log.failedRestores << name;
                return log.failedRestoreAnswers.isEmpty() ? UserPrompts::FailedRestoreChoice::keep
                                                          : log.failedRestoreAnswers.takeFirst();
            },
        .askToOpenLocked =
            [&log](QWidget*, const QString& name, const QString& holder) {
                log.lockedQuestions << name + u'|' + holder;
                return log.openReadOnlyAnswer;
            },
        .askToOverwriteChanged =
            [&log](QWidget*, const QString& name) {
                log.overwriteQuestions << name;
                return log.overwriteAnswer;
            },
        .askToReloadChanged =
            [&log](QWidget*, const QString& name) {
                log.reloadQuestions << name;
                return log.reloadAnswer;
            },
    };
}

inline void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Save and Save As… as the menu runs them, returning once the package is written: false when
// cancelled, refused or failed.
inline bool saveAndWait(DocumentWindow* window) {
    return window->save() && window->saver()->waitUntilIdle();
}
inline bool saveAsAndWait(DocumentWindow* window) {
    return window->saveAs() && window->saver()->waitUntilIdle();
}

// A coordinator with fake prompts, a quit counter and its own recovery and project folders.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecentProjects::clear();
        coordinator = makeCoordinator();
    }

    void TearDown() override {
        coordinator.reset();
        settle();
    }

    std::unique_ptr<AppCoordinator> makeCoordinator() {
        auto made = std::make_unique<AppCoordinator>(fakePrompts(prompts), recoveryRoot());
        made->quitApplication = [this] { ++quits; };
        return made;
    }

    QString recoveryRoot() const { return folder.filePath(QStringLiteral("recovery")); }
    QString path(const QString& name) const { return folder.filePath(name); }

    // A document window made from a small sprite, settled and counting as unchanged.
    DocumentWindow* spriteWindow(qint64 width = 8, qint64 height = 8) {
        DocumentWindow* window = coordinator->createDocument(Sprite::blank(width, height));
        settle();
        return window;
    }

    // A 16 × 16 sprite window in front, its canvas focused as when the user draws.
    DocumentWindow* focusedWindow() {
        DocumentWindow* window = spriteWindow(16, 16);
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        window->view()->canvas()->setFocus();
        return window;
    }

    QTemporaryDir folder;
    PromptLog prompts;
    int quits = 0;
    std::unique_ptr<AppCoordinator> coordinator;
};
