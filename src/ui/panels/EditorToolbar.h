#pragma once

#include "EditorState.h"

#include <QWidget>
#include <functional>

class QToolButton;

// The window's toolbar: outline or filled shapes, zoom out, fit, zoom in, and the inspector
// column's toggle. Zooming goes through the editor, which hands it to the canvas.
class EditorToolbar : public QWidget {
    Q_OBJECT

public:
    static constexpr int symbolSize = 15;

    // The editor must outlive the toolbar.
    explicit EditorToolbar(EditorState* editor, QWidget* parent = nullptr);

    QToolButton* fillButton() const { return fill; }
    QToolButton* inspectorButton() const { return inspector; }

    bool isInspectorPresented() const;
    void setInspectorPresented(bool presented);

signals:
    void inspectorPresentedChanged(bool presented);

protected:
    void changeEvent(QEvent* event) override;

private:
    QToolButton* addButton(const QString& toolTip, const std::function<void()>& action);
    void zoom(EditorViewState::ZoomIntent intent);
    void applySymbols();
    void showFillOption();

    EditorState* const editor;
    QToolButton* fill;
    QToolButton* zoomOut;
    QToolButton* fit;
    QToolButton* zoomIn;
    QToolButton* inspector;
};
