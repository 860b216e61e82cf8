#pragma once

#include <QByteArray>

// Whether an image file's bytes run to their format's end marker. Decoders hand back what
// they got of a cut-off JPEG or GIF as if it were the whole picture; this tells them apart.
namespace ImageCompleteness {

// False for a PNG, JPEG or GIF (told by its signature) that ends before its end marker; true
// for other formats, whose decoders refuse short data themselves.
bool isComplete(const QByteArray& bytes);

} // namespace ImageCompleteness
