#pragma once

#include "EditorState.h"

#include <QWidget>

class CaptionLabel;
class QCheckBox;
class QLabel;
class QSlider;
class QToolButton;

// The inspector's brush section: the brush size (buttons, value and slider) and the
// pixel-perfect option, each with a line saying when it applies.
class BrushInspector : public QWidget {
    Q_OBJECT

public:
    // The editor must outlive the section.
    explicit BrushInspector(EditorState* editor, QWidget* parent = nullptr);

    static QString pixelPerfectCaption(ToolKind tool, qint64 brushSize);

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeSizeRow();
    void applySymbols();
    void refresh();

    EditorState* const editor;
    QToolButton* smaller = nullptr;
    QToolButton* larger = nullptr;
    QLabel* sizeLabel = nullptr;
    QSlider* sizeSlider = nullptr;
    CaptionLabel* singlePixelNote = nullptr;
    QCheckBox* pixelPerfectToggle = nullptr;
    CaptionLabel* pixelPerfectNote = nullptr;
};
