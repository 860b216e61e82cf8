#pragma once

#include "EditorState.h"

#include <QWidget>

class QLabel;

// The line along the window's bottom: zoom, canvas size, frame, unsaved marker, brush, how to
// place floating pixels, selection size and the pixel under the pointer, with digits of even width
// so the items do not jitter as the numbers change.
class StatusBarView : public QWidget {
    Q_OBJECT

public:
    // The editor must outlive the status bar.
    explicit StatusBarView(EditorState* editor, QWidget* parent = nullptr);

    // "800%", "12.5%".
    static QString zoomText(double zoom);

    QLabel* zoomItem() const { return zoomLabel; }
    QLabel* sizeItem() const { return sizeLabel; }
    QLabel* frameItem() const { return frameLabel; }
    QLabel* playingItem() const { return playingSymbol; }
    QWidget* unsavedItem() const { return unsavedMarker; }
    QLabel* brushItem() const { return brushLabel; }
    QLabel* floatingPasteItem() const { return pasteHintLabel; }
    QLabel* selectionItem() const { return selectionLabel; }
    QLabel* pointerItem() const { return pointerLabel; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildUnsavedMarker();
    void applySymbols();
    void refresh();

    EditorState* const editor;
    QLabel* zoomLabel;
    QLabel* sizeLabel;
    QLabel* frameLabel;
    QLabel* playingSymbol;
    QWidget* unsavedMarker;
    QLabel* unsavedSymbol;
    QLabel* brushLabel;
    QLabel* pasteHintLabel;
    QLabel* selectionLabel;
    QLabel* pointerLabel;
};
