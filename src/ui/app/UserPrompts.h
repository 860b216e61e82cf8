#pragma once

#include "FrameImportRequest.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Every question the shell asks the user and every alert it shows, as replaceable steps:
// dialogs() gives the real windows, tests give their own answers.
struct UserPrompts {
    Q_DECLARE_TR_FUNCTIONS(UserPrompts)

public:
    enum class SaveChoice { save, discard, cancel };

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
    // A file to import as frames and how; nothing when cancelled.
    std::function<std::optional<FrameImportRequest>(QWidget* parent)> chooseFrameImport;
    // Whether to restore a document recovered after Kestrin stopped unexpectedly.
    std::function<bool(const QString& documentName, const QDateTime& savedAt)> askToRestore;

    static UserPrompts dialogs();
};
