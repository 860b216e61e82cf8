#pragma once

#include <QIcon>
#include <QPalette>
#include <QString>

// Icons for the symbol names the tools and panels use, drawn by Kestrin itself (Linux has no
// shared symbol set of this kind). An icon is drawn in the palette's text colour, so a widget
// asks again for its icons when its palette changes (light and dark appearance).
namespace SymbolIcons {

// pointSize is the icon's natural size; it is drawn sharp at whatever size a widget asks for.
// Disabled icons take the palette's disabled text colour, selected ones the highlighted text.
QIcon icon(const QString& symbolName, const QPalette& palette, int pointSize);

} // namespace SymbolIcons
