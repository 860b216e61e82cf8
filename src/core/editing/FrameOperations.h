#pragma once

#include "Sprite.h"

#include <optional>

// The frame commands as edits of a sprite value; a refused command leaves it untouched.
namespace FrameOperations {

// A 100 ms frame with empty slots just after the active one, made active.
void addEmptyFrame(Sprite& sprite);
// A copy of the active frame (duration and cels) just after it, made active.
void duplicateFrame(Sprite& sprite);
// Empties the active layer's slot in the active frame; other layers keep theirs.
void clearFrame(Sprite& sprite);
// Refused for the last frame or an index outside the frames.
void deleteFrame(Sprite& sprite, qint64 index);
// The moved frame (at the target, clamped to the frames) becomes the active one.
void moveFrame(Sprite& sprite, qint64 from, qint64 to);
// Durations below the minimum are raised to it.
void setFrameDuration(Sprite& sprite, qint64 milliseconds, qint64 index);

} // namespace FrameOperations
