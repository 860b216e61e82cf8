#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <optional>

// Which tool the pointer drives. Declaration order is the order menus and the tool strip use.
enum class ToolKind {
    pencil,
    eraser,
    fill,
    eyedropper,
    line,
    rectangle,
    ellipse,
    triangle,
    select,
    move
};

namespace ToolKinds {

extern const QList<ToolKind> all;

// The stored and identifying text of a tool, e.g. "pencil".
QString rawValue(ToolKind kind);
std::optional<ToolKind> fromRawValue(const QString& raw);

QString title(ToolKind kind);
// The single key that selects the tool, used without modifiers.
QChar shortcut(ToolKind kind);
// The name of the tool's symbol in the icon set.
QString systemImage(ToolKind kind);
bool usesPixelPerfect(ToolKind kind);
// Whether the outline-or-filled choice applies.
bool usesFill(ToolKind kind);
// Whether the tool stamps the brush square (the others work on single pixels).
bool usesBrushSize(ToolKind kind);

} // namespace ToolKinds
