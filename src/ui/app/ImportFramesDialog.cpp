#include "ImportFramesDialog.h"

#include "FrameImportService.h"
#include "ImportError.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Kind = FrameImportRequest::Kind;

constexpr char16_t times = u'\u00D7';

bool isAnimatedPng(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // acTL has to come before the image data, which follows the header closely.
    const QByteArray start = file.read(4096);
    return start.startsWith("\x89PNG") && start.contains("acTL");
}

} // namespace

ImportFramesDialog::ImportFramesDialog(const QString& path, QWidget* parent)
    : QDialog(parent), path(path), sheetSize(FrameImportService::imageSize(path)),
      kinds(new QButtonGroup(this)), mode(new QComboBox), columns(spinBox(1, 4)),
      rows(spinBox(1, 1)), cellWidth(spinBox(1, 16)), cellHeight(spinBox(1, 16)),
      padding(spinBox(0, 0)), offsetX(spinBox(0, 0)), offsetY(spinBox(0, 0)),
      skipEmpty(new QCheckBox(tr("Skip empty cells"))), sheetForm(new QFormLayout),
      outcome(new QLabel), buttons(new QDialogButtonBox) {
    setWindowTitle(tr("Import as Frames"));
    auto* heading = new QLabel(tr("Import “%1” as frames").arg(QFileInfo(path).fileName()));
    heading->setWordWrap(true);

    const QList<std::pair<Kind, QString>> choices = {
        {Kind::animation, tr("Every image of the animation (GIF or animated PNG)")},
        {Kind::sheet, tr("The cells of a sprite sheet")},
        {Kind::sequence, tr("The numbered sequence (walk_0.png, walk_1.png …)")}};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    for (const auto& [kind, title] : choices) {
        auto* button = new QRadioButton(title);
        kinds->addButton(button, int(kind));
        layout->addWidget(button);
    }

    mode->addItem(tr("Columns %1 rows").arg(QChar(times)));
    mode->addItem(tr("Cell size"));
    sheetForm->addRow(tr("Cut by"), mode);
    sheetForm->addRow(tr("Columns"), columns);
    sheetForm->addRow(tr("Rows"), rows);
    sheetForm->addRow(tr("Cell width"), cellWidth);
    sheetForm->addRow(tr("Cell height"), cellHeight);
    sheetForm->addRow(tr("Padding"), padding);
    sheetForm->addRow(tr("Offset X"), offsetX);
    sheetForm->addRow(tr("Offset Y"), offsetY);
    sheetForm->addRow(QString(), skipEmpty);
    layout->addLayout(sheetForm);

    outcome->setObjectName(QStringLiteral("outcome"));
    outcome->setWordWrap(true);
    layout->addWidget(outcome);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(tr("Import"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(kinds, &QButtonGroup::idClicked, this, &ImportFramesDialog::refresh);
    connect(mode, &QComboBox::currentIndexChanged, this, &ImportFramesDialog::refresh);
    connect(skipEmpty, &QCheckBox::toggled, this, &ImportFramesDialog::refresh);
    setKind(suggestedKind(path));
}

QSpinBox* ImportFramesDialog::spinBox(int minimum, int value) {
    auto* box = new QSpinBox;
    box->setRange(minimum, 16384);
    box->setValue(value);
    connect(box, &QSpinBox::valueChanged, this, &ImportFramesDialog::refresh);
    return box;
}

FrameImportRequest::Kind ImportFramesDialog::suggestedKind(const QString& path) {
    if (QFileInfo(path).suffix().compare(QStringLiteral("gif"), Qt::CaseInsensitive) == 0 ||
        isAnimatedPng(path))
        return Kind::animation;
    try {
        if (FrameImportService::sequenceFiles(path).size() > 1)
            return Kind::sequence;
    } catch (const ImportError&) {
    }
    return Kind::sheet;
}

void ImportFramesDialog::setKind(Kind kind) {
    kinds->button(int(kind))->setChecked(true);
    refresh();
}

FrameImportRequest ImportFramesDialog::request() const {
    FrameImportRequest result{path, Kind(kinds->checkedId()), {}};
    SheetCut& cut = result.cut;
    cut.mode = mode->currentIndex() == 1 ? SheetCut::Mode::size : SheetCut::Mode::count;
    cut.columns = columns->value();
    cut.rows = rows->value();
    cut.cellWidth = cellWidth->value();
    cut.cellHeight = cellHeight->value();
    cut.padding = padding->value();
    cut.offsetX = offsetX->value();
    cut.offsetY = offsetY->value();
    cut.skipEmpty = skipEmpty->isChecked();
    return result;
}

QString ImportFramesDialog::summary() const {
    const FrameImportRequest chosen = request();
    try {
        switch (chosen.kind) {
        case Kind::animation:
            return tr("One frame per image, each keeping its duration.");
        case Kind::sequence: {
            const QStringList files = FrameImportService::sequenceFiles(path);
            return tr("%1 files, %2 to %3, one frame each.")
                .arg(files.size())
                .arg(QFileInfo(files.first()).fileName(), QFileInfo(files.last()).fileName());
        }
        case Kind::sheet:
            break;
        }
        if (!sheetSize.isValid())
            return ImportError(ImportError::unreadableImage).message();
        const QList<PixelRect> cells = chosen.cut.cells(sheetSize.width(), sheetSize.height());
        return tr("%1 cells of %2 %3 %4 px%5.")
            .arg(cells.size())
            .arg(cells.first().width)
            .arg(QChar(times))
            .arg(cells.first().height)
            .arg(chosen.cut.skipEmpty ? tr(", empty ones skipped") : QString());
    } catch (const ImportError& error) {
        return error.message();
    }
}

bool ImportFramesDialog::canImport() const {
    const FrameImportRequest chosen = request();
    try {
        if (chosen.kind == Kind::sequence)
            FrameImportService::sequenceFiles(path);
        else if (chosen.kind == Kind::sheet)
            return sheetSize.isValid() &&
                   !chosen.cut.cells(sheetSize.width(), sheetSize.height()).isEmpty();
    } catch (const ImportError&) {
        return false;
    }
    return true;
}

void ImportFramesDialog::refresh() {
    const bool sheet = kinds->checkedId() == int(Kind::sheet);
    const bool bySize = mode->currentIndex() == 1;
    for (QWidget* field : {static_cast<QWidget*>(mode), static_cast<QWidget*>(padding),
                           static_cast<QWidget*>(offsetX), static_cast<QWidget*>(offsetY),
                           static_cast<QWidget*>(skipEmpty)})
        sheetForm->setRowVisible(field, sheet);
    sheetForm->setRowVisible(columns, sheet && !bySize);
    sheetForm->setRowVisible(rows, sheet && !bySize);
    sheetForm->setRowVisible(cellWidth, sheet && bySize);
    sheetForm->setRowVisible(cellHeight, sheet && bySize);
    outcome->setText(summary());
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
            button->setEnabled(canImport());
    }
}
