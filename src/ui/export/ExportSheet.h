#pragma once

#include "ExportChoices.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

class EditorState;
class ExportPreviewView;
class ExportRunner;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class WorkProgressDialog;
class QPushButton;
class QSpinBox;

// The export dialog of a document window: what to export, the file format, the scale and the
// sprite-sheet options, a summary and a preview of the result. Export asks for a file or a
// folder, writes in the background from a copy of the sprite, remembers the scale for next time
// and closes; a failure is shown in the sheet, which stays open.
class ExportSheet : public QDialog {
    Q_OBJECT

public:
    using Format = ExportChoices::Format;

    // What the save panel is asked for.
    struct SaveRequest {
        QString suggestedName;
        QString mimeType;
        QString extension;
    };
    // The panels and the file viewer, replaceable so that tests never block. An empty answer
    // means the user cancelled.
    struct Panels {
        std::function<QString(QWidget* parent, const SaveRequest& request)> chooseFile;
        std::function<QString(QWidget* parent, const QString& message)> chooseFolder;
        std::function<void(const QString& folder)> revealFolder;

        static Panels system();
    };

    // Places any floating pixels first, so that the export sees them.
    ExportSheet(EditorState* editor, const QString& documentName, QWidget* parent = nullptr);
    ~ExportSheet() override;

    Panels panels = Panels::system();

    const ExportChoices& choices() const { return options; }
    const std::optional<QString>& errorMessage() const { return error; }
    // Files written by the last batch export.
    qint64 exported() const { return exportedFiles; }
    bool isExporting() const;

    // The Export… button: asks for the destination, then writes in the background.
    void startExport();
    // Escape, Cancel and closing the sheet; ignored while an export is being written.
    void reject() override;

signals:
    // A started export has been written or has failed.
    void exportEnded();

private:
    QWidget* makeHeading();
    QWidget* makeForm();
    QWidget* makeButtons();
    QSpinBox* makeStepper(const QString& prefix, const QString& suffix, qint64 minimum,
                          qint64 maximum, qint64 value);
    void connectControls();
    void change(const std::function<void(ExportChoices&)>& edit);
    void refresh();
    void refreshScales();
    void showRow(QWidget* field, bool visible);
    void reloadSprite();
    void exportBatch();
    void run(const QString& destination);
    void showProgress(qint64 done, qint64 total);
    void finishExport(qint64 filesWritten);
    void failExport(const QString& message);

    QPointer<EditorState> editor;
    ExportChoices options;
    std::optional<QString> error;
    qint64 exportedFiles = 0;
    QString batchFolder;

    QFormLayout* form = nullptr;
    QComboBox* formatPicker = nullptr;
    QComboBox* fileFormatPicker = nullptr;
    QLabel* caveatLabel = nullptr;
    QComboBox* scalePicker = nullptr;
    QComboBox* layoutPicker = nullptr;
    QSpinBox* columnsStepper = nullptr;
    QSpinBox* paddingStepper = nullptr;
    QCheckBox* metadataToggle = nullptr;
    QComboBox* metadataPicker = nullptr;
    QCheckBox* trimToggle = nullptr;
    QLabel* noteLabel = nullptr;
    QLabel* summaryLabel = nullptr;
    ExportPreviewView* preview = nullptr;
    QLabel* errorLabel = nullptr;
    QPushButton* exportButton = nullptr;
    ExportRunner* runner = nullptr;
    QPointer<WorkProgressDialog> progress;
};
