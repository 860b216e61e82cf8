#pragma once

#include "EditorState.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;

// The column of tool buttons at the window's left edge, in the tools' own order, with the
// active tool highlighted, and the primary and secondary colour wells below them.
class ToolStripView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize buttonSize{34, 30};
    static constexpr int symbolSize = 15;
    static constexpr int wellSize = 22;
    static constexpr int wellOverlap = 10;

    // The editor must outlive the strip.
    explicit ToolStripView(EditorState* editor, QWidget* parent = nullptr);

    QAbstractButton* button(ToolKind tool) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void applySymbols();
    void showActiveTool();

    EditorState* const editor;
    QButtonGroup* tools;
};
