#pragma once

#include "EditorState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QUuid>
#include <QWidget>

class LayerThumbnail;

// One row of the layer list: visibility switch, thumbnail, name (or the name field while
// renaming) and the opacity when below 100 %. A click selects the layer, a double click asks
// for renaming; the renaming itself is run by the inspector.
class LayerRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 30;

    LayerRow(EditorState* editor, QWidget* parent = nullptr);

    // Shows a layer; the name field appears with the layer's name when renaming starts.
    void display(const Layer& layer, bool active, bool renaming);
    QUuid layerID() const { return id; }

    QToolButton* visibilityButton() const { return eye; }
    LayerThumbnail* thumbnail() const { return preview; }
    QLabel* nameLabel() const { return name; }
    QLineEdit* nameField() const { return field; }
    QLabel* opacityHint() const { return hint; }

signals:
    void renameRequested(const QUuid& layerID);
    void renameCommitted(const QUuid& layerID, const QString& text);
    void renameCancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setRenaming(bool renaming, const QString& currentName);
    void updateIcons();

    QPointer<EditorState> editor;
    QUuid id;
    bool isActive = false;
    bool isVisible = true;
    QToolButton* eye;
    LayerThumbnail* preview;
    QLabel* name;
    QLineEdit* field;
    QLabel* hint;
};
