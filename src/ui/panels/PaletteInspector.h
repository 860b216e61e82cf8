#pragma once

#include "EditorState.h"

#include <QPointer>
#include <QToolButton>
#include <QWidget>

class PaletteSwatchGrid;

// The palette section: the swatch grid, a button that adds the primary colour and a menu of
// presets that replaces the palette. Every change is an undo step of the document.
class PaletteInspector : public QWidget {
    Q_OBJECT

public:
    explicit PaletteInspector(EditorState* editor, QWidget* parent = nullptr);

    PaletteSwatchGrid* grid() const { return swatches; }
    QToolButton* addButton() const { return add; }
    QToolButton* presetButton() const { return presets; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void updateIcons();

    QPointer<EditorState> editor;
    PaletteSwatchGrid* swatches;
    QToolButton* add;
    QToolButton* presets;
};
