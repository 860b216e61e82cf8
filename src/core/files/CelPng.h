#pragma once

#include "Cel.h"

#include <QByteArray>
#include <optional>

// A cel's file in a project package: a straight-alpha RGBA PNG of the whole canvas. Both
// directions are safe to run on worker threads.
namespace CelPng {

// Empty bytes when the cel cannot be made into a PNG; std::bad_alloc when memory runs out.
QByteArray encode(const Cel& cel);

// The cel stored in bytes, or nothing unless they are a PNG of exactly width × height.
// The size is checked from the header before any pixel is decoded, and the pixels come back
// word for word as written, semi-transparent ones included. Throws std::bad_alloc when memory
// runs out.
std::optional<Cel> decode(const QByteArray& bytes, qint64 width, qint64 height);

// True when some pixel of the cel has a non-zero alpha.
bool isPainted(const Cel& cel);

} // namespace CelPng
