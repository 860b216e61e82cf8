#include "SpriteSheetService.h"

#include "AtlasMetadata.h"
#include "ExportError.h"
#include "ExportScale.h"
#include "ExportService.h"
#include "MemoryError.h"
#include "PixelRenderer.h"
#include "PngCodec.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

using SpriteSheetService::Grid;

// Where frames sit in the 1:1 sheet.
struct Placement {
    Grid grid;
    PixelRect source; // the part of the canvas each frame contributes
    qint64 padding = 0;

    qint64 width() const {
        return SpriteSheetService::sheetLength(grid.columns, source.width, padding);
    }
    qint64 height() const {
        return SpriteSheetService::sheetLength(grid.rows, source.height, padding);
    }
    PixelPoint origin(qint64 frame) const {
        return {padding + (frame % grid.columns) * (source.width + padding),
                padding + (frame / grid.columns) * (source.height + padding)};
    }
};

// A 1:1 sheet is at most as many pixels as the largest output image, so a shrinking export
// cannot allocate more than an enlarging one.
void checkSheetArea(const Placement& placement, qint64 percent) {
    ExportService::checkOutputSize(placement.width(), placement.height(), percent);
    if (!SpriteSheetService::fits(placement.width(), placement.height(), percent))
        throw ExportError::tooLarge();
}

QList<quint32> assemble(const Sprite& sprite, const Placement& placement,
                        const StepProgress& progress) {
    const qint64 sheetWidth = placement.width();
    QList<quint32> sheet = MemoryError::allocatedWords(sheetWidth * placement.height());
    quint32* out = sheet.data();
    const PixelRect& source = placement.source;
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        const QList<quint32> pixels =
            PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, frame));
        const PixelPoint origin = placement.origin(frame);
        for (qint64 row = 0; row < source.height; ++row) {
            const quint32* from = pixels.constData() + (source.y + row) * sprite.width + source.x;
            std::copy_n(from, source.width, out + (origin.y + row) * sheetWidth + origin.x);
        }
        // Encoding the whole sheet is one more step.
        reportProgress(progress, frame + 1, sprite.frames.size() + 1);
    }
    return sheet;
}

// A PNG sheet is encoded straight from the 1:1 sheet, each scaled row made as the encoder
// asks for it: no scaled copy of the whole sheet and no image conversions on the way. The
// pixels are those of the general export path (same nearest-neighbour rule).
QByteArray scaledPng(const QList<quint32>& sheet, qint64 width, qint64 height, qint64 percent) {
    const qint64 targetWidth = ExportScale::side(width, percent);
    const qint64 targetHeight = ExportScale::side(height, percent);
    QList<qint64> columns(targetWidth);
    for (qint64 x = 0; x < targetWidth; ++x)
        columns[x] = PixelRenderer::nearestSource(x, width, targetWidth);
    QList<quint32> row(targetWidth);
    quint32* scaledRow = row.data();
    const qint64* column = columns.constData();
    qint64 rowSource = -1; // the 1:1 row the buffer holds; enlarged rows repeat it
    const QByteArray png =
        PngCodec::encode(targetWidth, targetHeight, [&](qint64 y) -> const quint32* {
            const qint64 source = PixelRenderer::nearestSource(y, height, targetHeight);
            if (source == rowSource)
                return nullptr; // the same as the row above
            const quint32* in = sheet.constData() + source * width;
            for (qint64 x = 0; x < targetWidth; ++x)
                scaledRow[x] = in[column[x]];
            rowSource = source;
            return scaledRow;
        });
    if (png.isEmpty())
        throw ExportError::renderFailed();
    return png;
}

QByteArray metadataJson(const Sprite& sprite, const Placement& placement,
                        const SpriteSheetService::Sheet& sheet, qint64 percent) {
    SpriteSheetService::Metadata metadata{
        sheet.frameWidth, sheet.frameHeight, sheet.columns, sheet.rows, percent, sheet.padding, {}};
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        const PixelPoint origin = placement.origin(frame);
        metadata.frames.append({frame, ExportScale::length(origin.x, percent),
                                ExportScale::length(origin.y, percent), sheet.frameWidth,
                                sheet.frameHeight, sprite.frames[frame].duration});
    }
    return metadata.jsonData();
}

QByteArray atlasJson(const Sprite& sprite, const Placement& placement,
                     const SpriteSheetService::Sheet& sheet,
                     const SpriteSheetService::Options& options) {
    const qint64 percent = options.percent;
    const PixelRect& source = placement.source;
    AtlasMetadata atlas;
    atlas.spriteName = options.spriteName;
    atlas.image = options.imageName;
    atlas.sheetWidth = sheet.pixelWidth;
    atlas.sheetHeight = sheet.pixelHeight;
    atlas.sourceWidth = ExportScale::side(sprite.width, percent);
    atlas.sourceHeight = ExportScale::side(sprite.height, percent);
    atlas.percent = percent;
    atlas.trimmed = source != sprite.bounds();
    const PixelRect spriteSource{ExportScale::length(source.x, percent),
                                 ExportScale::length(source.y, percent), sheet.frameWidth,
                                 sheet.frameHeight};
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        const PixelPoint origin = placement.origin(frame);
        atlas.frames.append(
            {{ExportScale::length(origin.x, percent), ExportScale::length(origin.y, percent),
              sheet.frameWidth, sheet.frameHeight},
             spriteSource,
             sprite.frames[frame].duration});
    }
    return atlas.jsonData(options.metadataStyle);
}

} // namespace

namespace SpriteSheetService {

QJsonObject Metadata::Frame::toJson() const {
    return {{"index", index}, {"x", x},           {"y", y},
            {"width", width}, {"height", height}, {"duration", duration}};
}

QJsonObject Metadata::toJson() const {
    QJsonArray frameList;
    for (const Frame& frame : frames)
        frameList.append(frame.toJson());
    return {{"frameWidth", frameWidth},     {"frameHeight", frameHeight},
            {"columns", columns},           {"rows", rows},
            {"scalePercent", scalePercent}, {"padding", padding},
            {"frames", frameList}};
}

QByteArray Metadata::jsonData() const {
    return QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
}

Grid dimensions(qint64 frameCount, SpriteSheetLayout layout, qint64 columns) {
    const qint64 cells = std::max<qint64>(frameCount, 1);
    switch (layout) {
    case SpriteSheetLayout::horizontal:
        return {cells, 1};
    case SpriteSheetLayout::vertical:
        return {1, cells};
    case SpriteSheetLayout::grid:
        break;
    }
    const qint64 gridColumns = std::min(cells, std::max<qint64>(columns, 1));
    return {gridColumns, (cells + gridColumns - 1) / gridColumns};
}

bool fits(qint64 width, qint64 height, qint64 percent) {
    return ExportScale::fits(width, height, percent) &&
           width * height <= ExportScale::largestSide * ExportScale::largestSide;
}

PixelRect contentBounds(const Sprite& sprite) {
    PixelRect bounds;
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        const QList<quint32> pixels = PixelRenderer::composite(sprite, frame);
        const quint32* words = pixels.constData();
        for (qint64 y = 0; y < sprite.height && !pixels.isEmpty(); ++y) {
            const quint32* row = words + y * sprite.width;
            qint64 first = 0;
            while (first < sprite.width && (row[first] >> 24) == 0)
                ++first;
            if (first == sprite.width)
                continue;
            qint64 last = sprite.width - 1;
            while ((row[last] >> 24) == 0)
                --last;
            bounds = bounds.unionWith({first, y, last - first + 1, 1});
        }
    }
    return bounds.isEmpty() ? sprite.bounds() : bounds;
}

Sheet sheet(const Sprite& sprite, const Options& options, const StepProgress& progress) {
    if (sprite.width < 1 || sprite.height < 1 || options.padding < 0)
        throw ExportError::renderFailed();
    const qint64 percent = options.percent;
    const Placement placement{dimensions(sprite.frames.size(), options.layout, options.columns),
                              options.trim ? contentBounds(sprite) : sprite.bounds(),
                              options.padding};
    checkSheetArea(placement, percent);

    Sheet result;
    const QList<quint32> assembled = assemble(sprite, placement, progress);
    result.data = options.format == ExportFormat::png
                      ? scaledPng(assembled, placement.width(), placement.height(), percent)
                      : ExportService::imageData(assembled, placement.width(), placement.height(),
                                                 percent, options.format);
    reportProgress(progress, sprite.frames.size() + 1, sprite.frames.size() + 1);
    result.columns = placement.grid.columns;
    result.rows = placement.grid.rows;
    result.frameWidth = ExportScale::side(placement.source.width, percent);
    result.frameHeight = ExportScale::side(placement.source.height, percent);
    result.padding = ExportScale::length(options.padding, percent);
    result.pixelWidth = ExportScale::side(placement.width(), percent);
    result.pixelHeight = ExportScale::side(placement.height(), percent);
    if (options.includeMetadata)
        result.metadata = options.metadataStyle == SheetMetadataStyle::kestrin
                              ? metadataJson(sprite, placement, result, percent)
                              : atlasJson(sprite, placement, result, options);
    return result;
}

} // namespace SpriteSheetService
