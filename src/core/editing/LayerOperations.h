#pragma once

#include "Sprite.h"

#include <QString>
#include <QUuid>

// The layer commands as edits of a sprite value. Each leaves the sprite untouched when it is
// refused (unknown id, no place to go), so the structural edit around it records nothing.
namespace LayerOperations {

// A fresh visible, opaque, empty layer just above the active one (or on top), made active.
void addLayer(Sprite& sprite, const QString& name);
// A copy with a fresh id and " copy" after the name, just above the source, made active.
void duplicateLayer(Sprite& sprite, const QUuid& id);
// Composites the layer over the one below at its opacity, then removes it.
void mergeLayerDown(Sprite& sprite, const QUuid& id);
// Moves the layer by step positions (positive is up); refused past either end.
void moveLayer(Sprite& sprite, const QUuid& id, qint64 step);
// Refused for the last layer. A deleted active layer hands over to the one now at its place.
void deleteLayer(Sprite& sprite, const QUuid& id);
// Refused when the trimmed text is empty.
void renameLayer(Sprite& sprite, const QUuid& id, const QString& text);
void setVisibility(Sprite& sprite, const QUuid& id, bool visible);
void setOpacity(Sprite& sprite, const QUuid& id, double opacity); // clamped to 0...1; NaN refused

} // namespace LayerOperations
