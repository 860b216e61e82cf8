#include "SpriteSheetService.h"
#include "ExportError.h"
#include "ExportTestSupport.h"
#include "LibpngDecoder.h"
#include "PixelRenderer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kestrin::test;
using SpriteSheetService::Options;

namespace {

// Frame f holds a 2 × 2 block of its own colour at (f, f) and a corner pixel.
Sprite numberedFrames(qint64 side, qint64 count) {
    Sprite sprite = animation(side, side, count);
    for (qint64 f = 0; f < count; ++f) {
        fill(sprite, 0, f, {f, f, 2, 2}, 0xFF000000u | quint32(0x10 * (f + 1)));
        paint(sprite, 0, f, {side - 1, 0}, 0xFFFFFFFFu);
        sprite.frames[f].duration = 100 + 10 * f;
    }
    return sprite;
}

Options options(SpriteSheetLayout layout, qint64 columns, qint64 padding, qint64 percent = 100) {
    Options result;
    result.layout = layout;
    result.columns = columns;
    result.padding = padding;
    result.percent = percent;
    result.includeMetadata = true;
    return result;
}

} // namespace

TEST(SpriteSheetService, MetadataDescribesTheScaledSheet) {
    const auto sheet = SpriteSheetService::sheet(numberedFrames(4, 2),
                                                 options(SpriteSheetLayout::grid, 1, 1, 300));
    const QJsonObject expected = QJsonDocument::fromJson(R"({
        "columns": 1, "frameHeight": 12, "frameWidth": 12, "padding": 3, "rows": 2,
        "scalePercent": 300, "frames": [
            {"duration": 100, "height": 12, "index": 0, "width": 12, "x": 3, "y": 3},
            {"duration": 110, "height": 12, "index": 1, "width": 12, "x": 3, "y": 18}]})")
                                     .object();
    EXPECT_EQ(QJsonDocument::fromJson(*sheet.metadata).object(), expected);
    EXPECT_FALSE(SpriteSheetService::sheet(numberedFrames(4, 2), Options{}).metadata.has_value());
}

TEST(SpriteSheetService, RefusesSheetsPastTheLargestSide) {
    const Sprite wide = animation(2000, 2000, 9); // 18000 px in a row
    EXPECT_THROW(SpriteSheetService::sheet(wide, options(SpriteSheetLayout::horizontal, 0, 0)),
                 ExportError);
    EXPECT_NO_THROW(SpriteSheetService::sheet(animation(2000, 20, 8),
                                              options(SpriteSheetLayout::horizontal, 0, 4)));
    EXPECT_THROW(SpriteSheetService::sheet(animation(2048, 20, 8),
                                           options(SpriteSheetLayout::horizontal, 0, 1)),
                 ExportError); // the padding alone pushes 16384 past the limit
}

// PNG sheets are encoded from the 1:1 sheet row by row; every scale must give the pixels the
// general scaling gives, semi-transparent words included, and libpng must read the same.
TEST(SpriteSheetService, PngSheetsHoldTheGeneralPathsPixelsAtEveryScale) {
    Sprite sprite = numberedFrames(7, 5);
    fill(sprite, 0, 2, {0, 3, 7, 2}, 0x80336699u);
    paint(sprite, 0, 4, {3, 6}, 0x01FFFFFFu);
    const QImage actualSize = decodedImage(
        SpriteSheetService::sheet(sprite, options(SpriteSheetLayout::grid, 2, 1)).data);
    for (const qint64 percent : {25, 50, 300, 700}) {
        SCOPED_TRACE(percent);
        const auto sheet =
            SpriteSheetService::sheet(sprite, options(SpriteSheetLayout::grid, 2, 1, percent));
        const QImage general = PixelRenderer::scaled(actualSize, percent);
        const QImage ours = decodedImage(sheet.data);
        ASSERT_EQ(ours.size(), QSize(int(sheet.pixelWidth), int(sheet.pixelHeight)));
        EXPECT_EQ(words(ours), words(general));
        EXPECT_EQ(libpngWords(sheet.data, sheet.pixelWidth, sheet.pixelHeight), words(general));
    }
}
