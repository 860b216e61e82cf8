#pragma once

#include "PixelSpans.h"
#include "SymmetryMode.h"

#include <optional>

namespace StampCoverage {

// The pixels that stamping a side × side brush at every pixel of points paints, each dab
// pixel with its mirror images, inside the canvas and the selection. Computed by spans, so
// it costs the shape's rows and runs rather than its area times the brush's.
PixelSpans painted(const PixelSpans& points, qint64 brushSide, SymmetryMode mode,
                   const PixelRect& canvas, const std::optional<PixelRect>& selection);

} // namespace StampCoverage
