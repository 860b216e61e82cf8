#pragma once

#include "PixelRect.h"

#include <QList>
#include <optional>

// Decides what each image of an animated GIF has to draw. It follows what a viewer shows
// after every image, so each image holds only the rectangle that changed, with unchanged
// pixels left transparent, and the image before is cleared first (disposed to background)
// where a pixel has to turn transparent again. Frame 0 is always drawn whole.
class GIFFramePlanner {
public:
    enum class Disposal { keep = 1, clear = 2 };

    // One image of the stream. Pixels cover rect row-major: 0 draws nothing, anything else is
    // an opaque 0xFFRRGGBB word.
    struct Image {
        PixelRect rect;
        QList<quint32> pixels;
        Disposal disposal = Disposal::keep;
        qint64 delay = 0; // hundredths of a second
    };

    GIFFramePlanner(qint64 width, qint64 height);

    // Takes the next frame: width × height words, each 0 (transparent) or opaque. The image
    // of the frame before is final only now, so that one is returned.
    std::optional<Image> add(const QList<quint32>& frame, qint64 delay);
    // The last image, left so that the animation restarts cleanly on frame 0.
    Image finish();

private:
    void clearForTransparency(const PixelRect& needed);
    PixelRect conflicts(const quint32* next) const;
    PixelRect changes(const quint32* next) const;
    Image drawnChanges(const quint32* next, qint64 delay);

    qint64 width;
    qint64 height;
    QList<quint32> shown;      // what a viewer shows once the pending image is drawn
    QList<quint32> firstFrame; // for the loop back to it
    std::optional<Image> pending;
};
