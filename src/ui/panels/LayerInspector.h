#pragma once

#include "EditorState.h"

#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QToolButton>
#include <QUuid>
#include <QVBoxLayout>
#include <QWidget>
#include <optional>

class LayerRow;
class QScrollArea;

// The layers section: the active layer's opacity, one row per layer with the top layer first,
// and buttons to add, delete and move layers. Every change goes through the editor's layer
// commands, which make their own undo steps.
class LayerInspector : public QWidget {
    Q_OBJECT

public:
    static constexpr int opacitySteps = 1000;
    // Rows shown at once; more layers scroll within the list.
    static constexpr qint64 maximumRowsShown = 6;

    explicit LayerInspector(EditorState* editor, QWidget* parent = nullptr);
    ~LayerInspector() override;

    // Rows in display order, the top layer first.
    QList<LayerRow*> rows() const { return layerRows; }
    QSlider* opacitySlider() const { return opacity; }
    QLabel* opacityText() const { return opacityPercent; }
    QWidget* opacityRow() const { return opacityBar; }
    QToolButton* addButton() const { return add; }
    QToolButton* deleteButton() const { return remove; }
    QToolButton* moveUpButton() const { return up; }
    QToolButton* moveDownButton() const { return down; }
    std::optional<QUuid> renamingLayerID() const { return renaming; }

    bool canMoveActiveLayer(qint64 step) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeOpacityRow();
    QWidget* makeButtonRow();
    QToolButton* makeButton(const QString& tooltip, const std::function<void()>& action);
    void refresh();
    void showRows();
    void updateIcons();
    void startRenaming(const QUuid& layerID);
    void commitRenaming(const QUuid& layerID, const QString& text);
    void cancelRenaming();
    void opacityMoved(int position);
    void endOpacityDrag();

    QPointer<EditorState> editor;
    std::optional<QUuid> renaming;
    // A slider drag is one undo step: its changes are grouped while the knob is held.
    QPointer<QUndoStack> opacityGroup;

    QWidget* opacityBar = nullptr;
    QSlider* opacity = nullptr;
    QLabel* opacityPercent = nullptr;
    QVBoxLayout* rowLayout = nullptr;
    QScrollArea* rowsArea = nullptr;
    QList<LayerRow*> layerRows;
    QToolButton* add = nullptr;
    QToolButton* remove = nullptr;
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
};
