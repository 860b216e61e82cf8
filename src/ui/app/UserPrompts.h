#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

// Every question the shell asks the user and every alert it shows, as replaceable steps:
// dialogs() gives the real windows, tests give their own answers.
struct UserPrompts {
    Q_DECLARE_TR_FUNCTIONS(UserPrompts)

public:
    enum class SaveChoice { save, discard, cancel };
    enum class OverwriteChoice { saveAnyway, saveAs, cancel };
    enum class FailedRestoreChoice { retry, discard, keep };

    // A modal alert: the message, and an optional explanation under it.
    std::function<void(QWidget* parent, const QString& message, const QString& detail)> alert;
    // Whether to save a document's changes before it closes.
    std::function<SaveChoice(QWidget* parent, const QString& documentName)> askToSave;
    // Where to save a project; empty when cancelled. The answer ends in ".pixel".
    std::function<QString(QWidget* parent, const QString& suggestedPath)> chooseSaveLocation;
    // Whether to replace an existing project with the one being saved.
    std::function<bool(QWidget* parent, const QString& name)> askToReplace;
    // A project package to open; empty when cancelled.
    std::function<QString(QWidget* parent)> chooseProject;
    // A PNG to import as a new sprite; empty when cancelled.
    std::function<QString(QWidget* parent)> chooseImage;
    // Whether to restore a document recovered after Kestrin stopped unexpectedly.
    std::function<bool(const QString& documentName, const QDateTime& savedAt)> askToRestore;
    // A recovered copy that could not be read: try again, delete it, or keep it for later.
    std::function<FailedRestoreChoice(const QString& documentName, const QString& error)>
        askAfterFailedRestore;
    // Another Kestrin holds the project; holder names it ("ana on studio (process 42)"), empty
    // when unknown. True to open it read-only.
    std::function<bool(QWidget* parent, const QString& name, const QString& holder)>
        askToOpenLocked;
    // Saving would replace changes another application made to the project since it was
    // read or last saved here.
    std::function<OverwriteChoice(QWidget* parent, const QString& name)> askToOverwriteChanged;
    // The project changed on disk while this window has unsaved changes. True to reload
    // (the changes stay one Undo away).
    std::function<bool(QWidget* parent, const QString& name)> askToReloadChanged;

    static UserPrompts dialogs();
};
