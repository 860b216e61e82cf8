#include "ExportSheet.h"

#include "ExportPreviewView.h"
#include "ExportRunner.h"
#include "WorkProgressDialog.h"
#include "EditorState.h"
#include "CaptionLabel.h"
#include "EditingTextTracker.h"
#include "AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The export sees the floating pixels as the user sees them: they are placed first.
Sprite placedSprite(EditorState* editor) {
    editor->commitFloatingPaste();
    return editor->document()->sprite();
}

QString startFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

QLabel* wrappingLabel(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setWordWrap(true);
    return label;
}

template <typename Item, typename Title>
QComboBox* picker(const QString& objectName, const QList<Item>& items, Title title) {
    auto* combo = new QComboBox;
    combo->setObjectName(objectName);
    for (const Item& item : items)
        combo->addItem(title(item));
    return combo;
}

} // namespace

ExportSheet::Panels ExportSheet::Panels::system() {
    Panels panels;
    panels.chooseFile = [](QWidget* parent, const SaveRequest& request) {
        QFileDialog dialog(parent, tr("Export"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setMimeTypeFilters({request.mimeType});
        dialog.setDefaultSuffix(request.extension);
        dialog.setDirectory(startFolder());
        dialog.selectFile(request.suggestedName);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    panels.chooseFolder = [](QWidget* parent, const QString& message) {
        // The panel has no room for a message of its own, so the message is its title.
        QFileDialog dialog(parent, message);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, tr("Export"));
        dialog.setDirectory(startFolder());
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    panels.revealFolder = [](const QString& folder) {
        // Linux has no portable way to open the file viewer with an item selected, so the
        // folder itself is opened, showing the files just written.
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    return panels;
}

ExportSheet::ExportSheet(EditorState* editor, const QString& documentName, QWidget* parent)
    : QDialog(parent), editor(editor),
      options(placedSprite(editor), documentName, AppSettings::shared().defaultExportPercent()),
      runner(new ExportRunner(this)) {
    setWindowTitle(tr("Export"));
    setWindowModality(Qt::WindowModal);
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize); // rows come and go with the choices
    column->addWidget(makeHeading());
    column->addWidget(makeForm());
    noteLabel = wrappingLabel(QStringLiteral("noteLabel"));
    column->addWidget(noteLabel);
    summaryLabel = new QLabel;
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    column->addWidget(summaryLabel);
    preview = new ExportPreviewView;
    column->addWidget(preview);
    errorLabel = wrappingLabel(QStringLiteral("errorLabel"));
    errorLabel->setStyleSheet(QStringLiteral("color: #d0302a;"));
    column->addWidget(errorLabel);
    column->addWidget(makeButtons());
    // Only a button inside its dialog can be the dialog's default.
    exportButton->setDefault(true);

    connectControls();
    connect(editor->document(), &PixelDocument::changed, this, &ExportSheet::reloadSprite);
    connect(runner, &ExportRunner::progressed, this, &ExportSheet::showProgress);
    connect(runner, &ExportRunner::succeeded, this, &ExportSheet::finishExport);
    connect(runner, &ExportRunner::failed, this, &ExportSheet::failExport);
    refresh();
}

// The runner waits for a running export before the sheet's widgets go.
ExportSheet::~ExportSheet() {
    delete runner;
}

QWidget* ExportSheet::makeHeading() {
    auto* heading = new QLabel(tr("Export"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    heading->setFont(font);
    return heading;
}

QWidget* ExportSheet::makeForm() {
    formatPicker =
        picker(QStringLiteral("formatPicker"), ExportChoices::formats, &ExportChoices::title);
    fileFormatPicker =
        picker(QStringLiteral("fileFormatPicker"), ExportFormats::all, &ExportFormats::title);
    caveatLabel = new CaptionLabel;
    caveatLabel->setObjectName(QStringLiteral("caveatLabel"));
    scalePicker = new QComboBox;
    scalePicker->setObjectName(QStringLiteral("scalePicker"));
    layoutPicker =
        picker(QStringLiteral("layoutPicker"), SpriteSheetLayouts::all, &SpriteSheetLayouts::title);
    columnsStepper = makeStepper(tr("Columns: "), QString(), ExportChoices::minimumColumns,
                                 ExportChoices::maximumColumns, options.columns());
    columnsStepper->setObjectName(QStringLiteral("columnsStepper"));
    paddingStepper = makeStepper(tr("Padding: "), tr(" px"), 0, ExportChoices::maximumPadding,
                                 options.padding());
    paddingStepper->setObjectName(QStringLiteral("paddingStepper"));
    paddingStepper->setToolTip(tr("A transparent gutter around every frame, so neighbours cannot "
                                  "bleed in when an engine samples the sheet"));
    metadataToggle = new QCheckBox(tr("Include JSON metadata"));
    metadataToggle->setObjectName(QStringLiteral("metadataToggle"));
    metadataPicker = picker(QStringLiteral("metadataPicker"), SheetMetadataStyles::all,
                            &SheetMetadataStyles::title);
    metadataPicker->setToolTip(tr("Kestrin's own JSON, or the texture-atlas layouts game engines "
                                  "read: frames keyed by name (Hash) or listed (Array)"));
    trimToggle = new QCheckBox(tr("Trim empty edges"));
    trimToggle->setObjectName(QStringLiteral("trimToggle"));
    trimToggle->setToolTip(
        tr("Crop every frame to the same smallest rect that still holds the whole animation"));

    auto* widget = new QWidget;
    form = new QFormLayout(widget);
    form->setContentsMargins(0, 4, 0, 4);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("Format"), formatPicker);
    form->addRow(tr("File format"), fileFormatPicker);
    form->addRow(QString(), caveatLabel);
    form->addRow(tr("Scale"), scalePicker);
    form->addRow(tr("Layout"), layoutPicker);
    form->addRow(QString(), columnsStepper);
    form->addRow(QString(), paddingStepper);
    form->addRow(QString(), metadataToggle);
    form->addRow(tr("Metadata"), metadataPicker);
    form->addRow(QString(), trimToggle);
    return widget;
}

QSpinBox* ExportSheet::makeStepper(const QString& prefix, const QString& suffix, qint64 minimum,
                                   qint64 maximum, qint64 value) {
    auto* stepper = new QSpinBox;
    stepper->setRange(int(minimum), int(maximum));
    stepper->setSingleStep(1);
    stepper->setPrefix(prefix);
    stepper->setSuffix(suffix);
    stepper->setValue(int(value));
    stepper->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    EditingTextTracker::track(stepper, editor);
    return stepper;
}

QWidget* ExportSheet::makeButtons() {
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setText(tr("Cancel"));
    exportButton = buttons->addButton(tr("Export…"), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportSheet::startExport);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportSheet::reject);
    return buttons;
}

void ExportSheet::connectControls() {
    connect(formatPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](ExportChoices& c) { c.setFormat(ExportChoices::formats.value(index)); });
    });
    connect(fileFormatPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](ExportChoices& c) { c.setFileFormat(ExportFormats::all.value(index)); });
    });
    connect(scalePicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        const qint64 scale = scalePicker->itemData(index).toLongLong();
        change([scale](ExportChoices& c) { c.setScale(scale); });
    });
    connect(layoutPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](ExportChoices& c) { c.setLayout(SpriteSheetLayouts::all.value(index)); });
    });
    connect(columnsStepper, &QSpinBox::valueChanged, this,
            [this](int value) { change([value](ExportChoices& c) { c.setColumns(value); }); });
    connect(paddingStepper, &QSpinBox::valueChanged, this,
            [this](int value) { change([value](ExportChoices& c) { c.setPadding(value); }); });
    connect(metadataToggle, &QCheckBox::toggled, this,
            [this](bool on) { change([on](ExportChoices& c) { c.setIncludeMetadata(on); }); });
    connect(metadataPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](ExportChoices& c) {
            c.setMetadataStyle(SheetMetadataStyles::all.value(index));
        });
    });
    connect(trimToggle, &QCheckBox::toggled, this,
            [this](bool on) { change([on](ExportChoices& c) { c.setTrim(on); }); });
}

void ExportSheet::change(const std::function<void(ExportChoices&)>& edit) {
    edit(options);
    refresh();
}

bool ExportSheet::isExporting() const {
    return runner->isRunning();
}

void ExportSheet::refresh() {
    const Format format = options.format();
    const bool animation = ExportChoices::isAnimation(format);
    const bool sheet = format == Format::spriteSheet;
    const std::optional<QString> caveat = ExportFormats::caveat(options.fileFormat());
    caveatLabel->setText(caveat.value_or(QString()));
    showRow(fileFormatPicker, !animation);
    showRow(caveatLabel, !animation && caveat.has_value());
    refreshScales();
    showRow(layoutPicker, sheet);
    showRow(columnsStepper, sheet && options.layout() == SpriteSheetLayout::grid);
    showRow(paddingStepper, sheet);
    showRow(metadataToggle, sheet);
    showRow(metadataPicker, sheet && options.includeMetadata());
    showRow(trimToggle, sheet);

    const std::optional<QString> note = options.note();
    noteLabel->setText(note.value_or(QString()));
    noteLabel->setVisible(note.has_value());
    summaryLabel->setText(options.summary());
    preview->setChoices(options);
    errorLabel->setText(error.value_or(QString()));
    errorLabel->setVisible(error.has_value());
    exportButton->setEnabled(options.canExport() && !isExporting());
}

// The scale list is rebuilt from the offered percentages, showing the clamped scale.
void ExportSheet::refreshScales() {
    const QSignalBlocker quiet(scalePicker);
    scalePicker->clear();
    for (qint64 percent : options.availableScales())
        scalePicker->addItem(tr("%1%").arg(percent), percent);
    scalePicker->setCurrentIndex(scalePicker->findData(options.scale()));
    scalePicker->setEnabled(scalePicker->count() > 0);
}

void ExportSheet::showRow(QWidget* field, bool visible) {
    form->setRowVisible(field, visible);
}

void ExportSheet::reloadSprite() {
    if (!editor)
        return;
    options.setSprite(editor->document()->sprite());
    refresh();
}

void ExportSheet::startExport() {
    if (isExporting() || !options.canExport())
        return;
    if (ExportChoices::writesFolder(options.format())) {
        exportBatch();
        return;
    }
    const QString path = panels.chooseFile(
        this, {options.suggestedFileName(), options.mimeType(), options.fileExtension()});
    if (!path.isEmpty())
        run(path);
}

void ExportSheet::exportBatch() {
    const QString folder = panels.chooseFolder(this, options.folderMessage());
    if (folder.isEmpty())
        return;
    batchFolder = folder;
    run(folder);
}

// The job writes from its own copy of the choices and the sprite; the sheet and everything
// behind it stay blocked by the progress dialog until it ends.
void ExportSheet::run(const QString& destination) {
    const ExportChoices job = options;
    runner->start([job, destination](const StepProgress& report) {
        return job.write(destination, report);
    });
    progress = new WorkProgressDialog(tr("Export"), tr("Exporting…"), this);
    refresh();
}

void ExportSheet::showProgress(qint64 done, qint64 total) {
    if (progress)
        progress->showProgress(done, total);
}

void ExportSheet::finishExport(qint64 filesWritten) {
    AppSettings::shared().setDefaultExportPercent(options.scale());
    if (ExportChoices::writesFolder(options.format())) {
        exportedFiles = filesWritten;
        if (panels.revealFolder)
            panels.revealFolder(batchFolder);
    }
    delete progress;
    QDialog::accept();
    emit exportEnded();
}

void ExportSheet::failExport(const QString& message) {
    error = message;
    delete progress;
    refresh();
    emit exportEnded();
}

void ExportSheet::reject() {
    if (!isExporting())
        QDialog::reject();
}
