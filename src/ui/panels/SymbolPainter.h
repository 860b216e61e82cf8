#pragma once

#include <QColor>
#include <QPainter>
#include <QString>
#include <QStringList>

// Kestrin's own monochrome symbols, drawn as vectors on a 24 × 24 unit grid so they stay crisp
// at any size. Symbols are named like the platform-style names the tools and panels use
// ("pencil.tip", "eye.slash", ...).
namespace SymbolPainter {

constexpr qreal gridSide = 24;

// Every symbol that has a drawing of its own.
QStringList names();
bool isKnown(const QString& name);

// Draws the symbol in one colour into the 24 × 24 unit square at the painter's origin (scale the
// painter first). Unknown names get a crossed box, so a missing drawing is seen, not hidden.
// Some symbols punch gaps with the Clear composition mode: paint onto a transparent image.
void draw(QPainter& painter, const QString& name, const QColor& color);

} // namespace SymbolPainter
