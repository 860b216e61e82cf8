#pragma once

#include "editing/EditorState.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QVBoxLayout;

// The column of tool buttons at the window's left edge, in the tools' own order, with the
// active tool highlighted.
class ToolStripView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize buttonSize{34, 30};
    static constexpr int symbolSize = 15;

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
    QVBoxLayout* column;
};
