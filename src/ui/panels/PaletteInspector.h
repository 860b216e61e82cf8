#pragma once

#include "EditorState.h"
#include "PaletteFileFormat.h"

#include <functional>
#include <optional>

#include <QPointer>
#include <QToolButton>
#include <QWidget>

class PaletteSwatchGrid;

// The palette section: the swatch grid, a button that adds the primary colour and a menu of
// presets that replaces the palette, with palette files to import and export. Every change is
// an undo step of the document.
class PaletteInspector : public QWidget {
    Q_OBJECT

public:
    explicit PaletteInspector(EditorState* editor, QWidget* parent = nullptr);

    PaletteSwatchGrid* grid() const { return swatches; }
    QToolButton* addButton() const { return add; }
    QToolButton* presetButton() const { return presets; }

    // The file panels and the message box, replaceable so tests need no dialogs.
    struct Prompts {
        // A palette file to open, or empty when cancelled.
        std::function<QString(QWidget* parent)> chooseImport;
        // Where to write and in which format, or nothing when cancelled.
        std::function<std::optional<std::pair<QString, PaletteFileFormat>>(
            QWidget* parent, const QString& suggestedName)>
            chooseExport;
        std::function<void(QWidget* parent, const QString& title, const QString& text)> tell;
    };
    void setPrompts(Prompts prompts) { this->prompts = std::move(prompts); }

    // Replaces the palette with the file's as one undo step; a file that cannot be read is
    // reported and changes nothing.
    void importPalette();
    // Writes the palette; says so when the format dropped colours' transparency.
    void exportPalette();

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void updateIcons();

    QPointer<EditorState> editor;
    PaletteSwatchGrid* swatches;
    QToolButton* add;
    QToolButton* presets;
    Prompts prompts;
};
