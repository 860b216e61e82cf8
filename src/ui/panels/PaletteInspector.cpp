#include "PaletteInspector.h"

#include "PaletteSwatchGrid.h"
#include "SymbolIcons.h"
#include "PaletteFile.h"
#include "PaletteFileError.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString filters() {
    QStringList list;
    for (PaletteFileFormat format : PaletteFileFormats::all)
        list.append(PaletteFileFormats::filter(format));
    return list.join(QStringLiteral(";;"));
}

PaletteInspector::Prompts dialogPrompts() {
    PaletteInspector::Prompts prompts;
    prompts.chooseImport = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(
            parent, PaletteInspector::tr("Import Palette"), QString(),
            PaletteInspector::tr("Palette files (*.gpl *.hex *.pal)") + QStringLiteral(";;") +
                filters());
    };
    prompts.chooseExport =
        [](QWidget* parent,
           const QString& suggestedName) -> std::optional<std::pair<QString, PaletteFileFormat>> {
        QString chosenFilter = PaletteFileFormats::filter(PaletteFileFormat::gpl);
        QString path = QFileDialog::getSaveFileName(parent, PaletteInspector::tr("Export Palette"),
                                                    suggestedName, filters(), &chosenFilter);
        if (path.isEmpty())
            return std::nullopt;
        PaletteFileFormat format = PaletteFileFormat::gpl;
        for (PaletteFileFormat candidate : PaletteFileFormats::all) {
            if (PaletteFileFormats::filter(candidate) == chosenFilter)
                format = candidate;
        }
        // A typed extension wins over the chosen filter; a missing one is added.
        if (const auto typed = PaletteFileFormats::fromPath(path))
            format = *typed;
        else
            path += u'.' + PaletteFileFormats::extension(format);
        return std::pair{path, format};
    };
    prompts.tell = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::information(parent, title, text);
    };
    return prompts;
}

} // namespace

PaletteInspector::PaletteInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), swatches(new PaletteSwatchGrid(editor, this)),
      add(new QToolButton(this)), presets(new QToolButton(this)), prompts(dialogPrompts()) {
    add->setAutoRaise(true);
    add->setText(tr("Add"));
    add->setAccessibleName(tr("Add"));
    add->setToolButtonStyle(Qt::ToolButtonIconOnly);
    add->setToolTip(tr("Add the current color to the palette"));
    connect(add, &QToolButton::clicked, this, [this] {
        if (this->editor)
            this->editor->addCurrentColorToPalette();
    });

    presets->setToolTip(tr("Replace the palette with a preset"));
    presets->setPopupMode(QToolButton::InstantPopup);
    presets->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(presets);
    for (const Palette& preset : Palette::presets()) {
        menu->addAction(preset.name, this, [this, preset] {
            if (this->editor)
                this->editor->applyPalette(preset);
        });
    }
    menu->addSeparator();
    menu->addAction(tr("Import Palette…"), this, &PaletteInspector::importPalette);
    menu->addAction(tr("Export Palette…"), this, &PaletteInspector::exportPalette);
    presets->setMenu(menu);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(add);
    buttons->addWidget(presets);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(swatches);
    layout->addLayout(buttons);

    connect(editor->document(), &PixelDocument::changed, this, &PaletteInspector::refresh);
    refresh();
    updateIcons();
}

void PaletteInspector::refresh() {
    if (!editor)
        return;
    presets->setText(editor->document()->sprite().palette.name);
    // The menu arrow is drawn in the button's corner over its centred text: room for the
    // arrow on both sides keeps the name clear of it.
    const int arrow =
        presets->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, presets);
    presets->setFixedWidth(presets->sizeHint().width() + 2 * arrow);
}

void PaletteInspector::importPalette() {
    if (!editor)
        return;
    const QString path = prompts.chooseImport(this);
    if (path.isEmpty())
        return;
    try {
        editor->applyPalette(PaletteFile::read(path));
    } catch (const PaletteFileError& error) {
        prompts.tell(this, tr("The palette could not be imported"), error.message());
    }
}

void PaletteInspector::exportPalette() {
    if (!editor)
        return;
    const Palette palette = editor->document()->sprite().palette;
    const auto destination = prompts.chooseExport(this, QString(palette.name).replace(u'/', u'-'));
    if (!destination)
        return;
    try {
        PaletteFile::write(palette, destination->second, destination->first);
    } catch (const PaletteFileError& error) {
        prompts.tell(this, tr("The palette could not be exported"), error.message());
        return;
    }
    if (const auto note = PaletteFile::alphaNote(palette))
        prompts.tell(this, tr("Palette exported without transparency"), *note);
}

void PaletteInspector::updateIcons() {
    add->setIcon(SymbolIcons::icon(QStringLiteral("plus"), palette(), 14));
}

void PaletteInspector::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateIcons();
    QWidget::changeEvent(event);
}
