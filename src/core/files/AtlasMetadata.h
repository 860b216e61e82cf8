#pragma once

#include "PixelRect.h"
#include "SheetMetadataStyle.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A sprite sheet described the way texture-atlas loaders of game engines read it: every frame
// named "<sprite> <index>.png" (index from 0, in frame order) with its rectangle in the sheet,
// where that rectangle goes in the untrimmed frame, and its duration; then the sheet itself.
// All sizes are output pixels.
struct AtlasMetadata {
    struct Frame {
        PixelRect frame;        // in the sheet
        PixelRect spriteSource; // where the frame's pixels sit in the untrimmed frame
        qint64 duration = 0;    // milliseconds
    };

    QString spriteName; // "Untitled" when empty
    QString image;      // the sheet's file name
    qint64 sheetWidth = 0;
    qint64 sheetHeight = 0;
    qint64 sourceWidth = 0; // the untrimmed frame
    qint64 sourceHeight = 0;
    qint64 percent = 100;
    bool trimmed = false;
    QList<Frame> frames;

    static QString frameName(const QString& spriteName, qint64 index);

    // hash or array (kestrin is not this layout). Frames stay in frame order in both.
    QByteArray jsonData(SheetMetadataStyle style) const;
};
