#pragma once

#include <QtGlobal>

class EditorState;

// Moving the selected pixels, or the whole active layer, as one stroke: lifted once, then
// shown at an offset from where they were lifted, leaving transparency behind.
namespace ContentDragOperations {

void beginContentDrag(EditorState& editor);
void updateContentDrag(EditorState& editor, qint64 dx, qint64 dy);
// Closes the drag as one "Move" step, also when it ended where it began.
void endContentDrag(EditorState& editor);
// Takes the whole drag back, with no step.
void cancelContentDrag(EditorState& editor);
// A complete move by one offset as its own step (arrow keys).
void nudgeContent(EditorState& editor, qint64 dx, qint64 dy);

} // namespace ContentDragOperations
