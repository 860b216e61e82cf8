#pragma once

#include "Palette.h"
#include "PixelColor.h"

// The palette commands as edits of a palette value; a refused command leaves it untouched, so
// the structural edit around it records nothing.
namespace PaletteOperations {

// Appends the colour unless an equal one (all four channels) is already there.
void addColor(Palette& palette, PixelColor color);
// Refused for an index outside the colours.
void removeColor(Palette& palette, qint64 index);
// Takes the colour out of from and puts it back at to, an index into the list without it
// (clamped), so dropping on the swatch now at t leaves the colour at t. Refused for a bad from.
void moveColor(Palette& palette, qint64 from, qint64 to);

} // namespace PaletteOperations
