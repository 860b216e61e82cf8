#pragma once

#include <QList>
#include <QWidget>

class EditorState;
class InspectorSection;
class QScrollArea;

// The inspector column: colour, palette, brush, symmetry and layers, in that order, divided
// by rules. The layers stay in sight at the bottom; the sections above them scroll when the
// window is too short for all of them.
class InspectorView : public QWidget {
    Q_OBJECT

public:
    static constexpr int columnWidth = 260;
    // The least height left to the scrolling sections above the layers.
    static constexpr int minimumUpperHeight = 120;

    // The editor must outlive the column.
    explicit InspectorView(EditorState* editor, QWidget* parent = nullptr);

    QList<InspectorSection*> sections() const { return all; }
    QScrollArea* upperArea() const { return upper; }

private:
    QList<InspectorSection*> all;
    QScrollArea* upper = nullptr;
};
