#pragma once

#include <QScrollArea>

class EditorState;
class InspectorSection;

// The inspector column: colour, palette, brush, symmetry and layers, in that order, divided
// by rules, scrolling when the window is too short for all of them.
class InspectorView : public QScrollArea {
    Q_OBJECT

public:
    static constexpr int columnWidth = 260;

    // The editor must outlive the column.
    explicit InspectorView(EditorState* editor, QWidget* parent = nullptr);

    QList<InspectorSection*> sections() const;
};
