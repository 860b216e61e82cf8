#pragma once

#include "PixelRenderer.h"
#include "PixelPoint.h"

#include <QImage>
#include <optional>

// The system clipboard as the editors see it, with the process-wide memory of this program's
// last copy that paste in place needs. Main thread only; needs a GUI application.
namespace Clipboard {

// Larger clipboard images are refused before they are decoded.
inline constexpr qint64 maximumSide = 4096;

// Counts clipboard changes, ours and other programs', since the process started watching.
qint64 changeCount();
// The top-left corner of the last rectangle copied here, and the change count right after it.
std::optional<PixelPoint> copiedFrom();
qint64 stamp();

// Puts the image on the clipboard as PNG and as an image for other programs, remembering
// where it was copied from. False, with the clipboard untouched, when it cannot be encoded.
bool write(const QImage& straightImage, PixelPoint from);
// Whether the clipboard offers an image, without decoding it.
bool hasImage();
// The size of the clipboard image as its header gives it, without decoding it; nothing when
// the clipboard offers no image or its size cannot be read.
std::optional<QSize> imageSize();
// The clipboard image as straight pixels: its PNG first, then any image format it offers.
// Nothing for text, unreadable data, or an image over maximumSide on a side.
std::optional<PixelRenderer::Buffer> read();

} // namespace Clipboard
