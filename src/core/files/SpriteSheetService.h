#pragma once

#include "ExportFormat.h"
#include "StepProgress.h"
#include "SheetMetadataStyle.h"
#include "Sprite.h"
#include "SpriteSheetLayout.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <optional>

// Every frame of the animation packed into one image, with optional JSON metadata.
namespace SpriteSheetService {

struct Options {
    SpriteSheetLayout layout = SpriteSheetLayout::horizontal;
    qint64 columns = 4; // grid only
    qint64 percent = 100;
    ExportFormat format = ExportFormat::png;
    bool includeMetadata = false;
    qint64 padding = 0; // transparent gutter in canvas pixels, around and between frames
    bool trim = false;  // crop every frame to the bounds of the whole animation
    SheetMetadataStyle metadataStyle = SheetMetadataStyle::kestrin;
    QString spriteName; // names the frames of the texture-atlas layouts
    QString imageName;  // the sheet's file name, which those layouts record
};

// Sizes are output pixels (scaled).
struct Sheet {
    QByteArray data;
    std::optional<QByteArray> metadata;
    qint64 columns = 0;
    qint64 rows = 0;
    qint64 frameWidth = 0;
    qint64 frameHeight = 0;
    qint64 padding = 0;
    qint64 pixelWidth = 0;
    qint64 pixelHeight = 0;
};

struct Metadata {
    struct Frame {
        qint64 index = 0;
        qint64 x = 0;
        qint64 y = 0;
        qint64 width = 0;
        qint64 height = 0;
        qint64 duration = 0; // milliseconds, never scaled

        QJsonObject toJson() const;
    };

    qint64 frameWidth = 0;
    qint64 frameHeight = 0;
    qint64 columns = 0;
    qint64 rows = 0;
    qint64 scalePercent = 100;
    qint64 padding = 0;
    QList<Frame> frames;

    QJsonObject toJson() const;
    // Pretty-printed, keys sorted at every level.
    QByteArray jsonData() const;
};

struct Grid {
    qint64 columns = 1;
    qint64 rows = 1;
};

// At least one cell; a grid has between 1 and frameCount columns.
Grid dimensions(qint64 frameCount, SpriteSheetLayout layout, qint64 columns);
// cells × (cellLength + padding) + padding: one side of the sheet at 1:1.
inline qint64 sheetLength(qint64 cells, qint64 cellLength, qint64 padding) {
    return cells * (cellLength + padding) + padding;
}
// True when a sheet of width × height at 1:1 can be written at percent: no side over the
// largest exported side, and no more pixels at 1:1 than the largest output image.
bool fits(qint64 width, qint64 height, qint64 percent);
// The smallest rectangle holding every visible pixel of every frame; the whole canvas when
// nothing is visible.
PixelRect contentBounds(const Sprite& sprite);

// Throws ExportError. Progress counts the frames placed on the sheet, then its encoding.
Sheet sheet(const Sprite& sprite, const Options& options, const StepProgress& progress = {});

} // namespace SpriteSheetService
