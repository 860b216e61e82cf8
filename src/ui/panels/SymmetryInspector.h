#pragma once

#include "EditorState.h"

#include <QWidget>

class QButtonGroup;
class QLabel;

// The inspector's symmetry section: one segment per mirror mode, and what the current mode
// does in words.
class SymmetryInspector : public QWidget {
    Q_OBJECT

public:
    static constexpr int symbolSize = 15;

    // The editor must outlive the section.
    explicit SymmetryInspector(EditorState* editor, QWidget* parent = nullptr);

    // What the mode does; on a canvas that is not square a diagonal mode adds that images
    // falling off the canvas are dropped.
    static QString description(SymmetryMode mode, bool squareCanvas = true);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applySymbols();
    void refresh();

    EditorState* const editor;
    QButtonGroup* modes;
    QLabel* descriptionLabel;
};
