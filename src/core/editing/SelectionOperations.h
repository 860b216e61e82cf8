#pragma once

#include "FloatingPaste.h"
#include "PasteAnchor.h"

class EditorState;

// Copy, cut and paste through the system clipboard, floating pixels, and deleting and
// dropping the selection. While a gesture runs, the commands do nothing.
namespace SelectionOperations {

// Copies the selected pixels of the active cel, or of every visible layer composited when
// merged. False when nothing was copied.
bool copySelection(EditorState& editor, bool merged);
// Deletes the selected pixels only once they are safely on the clipboard.
void cutSelection(EditorState& editor);
// Floats the clipboard image over the canvas; nothing touches the document until it is placed.
void paste(EditorState& editor, PasteAnchor anchor, bool replacing,
           FloatingPaste::Destination destination);
bool canPaste();
// The clipboard still holds this program's last copy, so it can go back where it came from.
bool canPasteInPlace();

// Places the floating pixels (the part over the canvas) and selects them; false without any.
bool commitFloatingPaste(EditorState& editor);
// Throws the floating pixels away; false without any.
bool cancelFloatingPaste(EditorState& editor);
bool floatingPasteIsClipped(const EditorState& editor);

// Clears the selected pixels of the active layer; floating pixels are just thrown away.
void deleteSelection(EditorState& editor);
// Places floating pixels, then drops the selection.
void deselect(EditorState& editor);

} // namespace SelectionOperations
