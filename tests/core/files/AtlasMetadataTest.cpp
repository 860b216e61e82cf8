#include "AtlasMetadata.h"
#include "ExportTestSupport.h"
#include "SpriteSheetService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kestrin::test;

namespace {

// Drawing that leaves empty edges to trim, differs per frame and holds translucent pixels.
Sprite walkingSprite(qint64 frameCount) {
    QList<qint64> durations;
    for (qint64 f = 0; f < frameCount; ++f)
        durations.append(40 + 10 * f);
    Sprite sprite = animation(12, 10, frameCount, durations);
    for (qint64 f = 0; f < frameCount; ++f) {
        fill(sprite, 0, f, {3 + f % 4, 2, 3, 5}, 0xFF336699);
        paint(sprite, 0, f, {4, 6}, 0x80FF8000 + quint32(f));
    }
    return sprite;
}

PixelRect rect(const QJsonObject& object) {
    return {object["x"].toInteger(), object["y"].toInteger(), object["w"].toInteger(),
            object["h"].toInteger()};
}

// What an engine does with one entry: cut the frame rectangle out of the sheet and put it at
// its offset in a transparent image of the source size.
QList<quint32> placedFrame(const QImage& sheet, const QJsonObject& entry) {
    const PixelRect frame = rect(entry["frame"].toObject());
    const PixelRect offset = rect(entry["spriteSourceSize"].toObject());
    const QJsonObject source = entry["sourceSize"].toObject();
    const qint64 width = source["w"].toInteger();
    QList<quint32> placed(width * source["h"].toInteger(), 0u);
    const QList<quint32> sheetWords = words(sheet);
    for (qint64 y = 0; y < frame.height; ++y)
        for (qint64 x = 0; x < frame.width; ++x)
            placed[(offset.y + y) * width + offset.x + x] =
                sheetWords[(frame.y + y) * sheet.width() + frame.x + x];
    return placed;
}

QList<QJsonObject> entries(const QJsonObject& json, SheetMetadataStyle style, qint64 count,
                           const QString& spriteName) {
    QList<QJsonObject> list;
    for (qint64 i = 0; i < count; ++i) {
        const QString name = AtlasMetadata::frameName(spriteName, i);
        if (style == SheetMetadataStyle::hash) {
            list.append(json["frames"].toObject()[name].toObject());
        } else {
            const QJsonObject entry = json["frames"].toArray()[i].toObject();
            EXPECT_EQ(entry["filename"].toString(), name);
            list.append(entry);
        }
    }
    return list;
}

} // namespace

TEST(AtlasMetadata, EveryFrameCutAndPlacedAsEnginesDoIsItsComposite) {
    EXPECT_EQ(AtlasMetadata::frameName("", 12), "Untitled 12.png");
    const Sprite sprite = walkingSprite(5);
    for (const SheetMetadataStyle style : {SheetMetadataStyle::hash, SheetMetadataStyle::array})
        for (const bool trim : {false, true})
            for (const auto& [padding, percent] :
                 QList<std::pair<qint64, qint64>>{{0, 100}, {3, 100}, {0, 300}, {3, 200}}) {
                SCOPED_TRACE(testing::Message() << trim << " " << padding << " " << percent);
                const auto sheet = SpriteSheetService::sheet(
                    sprite, {SpriteSheetLayout::grid, 2, percent, ExportFormat::png, true, padding,
                             trim, style, "hero", "hero-sheet.png"});
                const QImage image = decodedImage(sheet.data);
                const QJsonObject json =
                    QJsonDocument::fromJson(sheet.metadata.value_or("")).object();
                const QList<QJsonObject> list = entries(json, style, 5, "hero");
                for (qint64 f = 0; f < 5; ++f) {
                    EXPECT_EQ(placedFrame(image, list[f]), words(expectedImage(sprite, f, percent)))
                        << "frame " << f;
                    EXPECT_EQ(list[f]["rotated"], false);
                    EXPECT_EQ(list[f]["trimmed"], trim);
                    EXPECT_EQ(list[f]["duration"], 40 + 10 * f);
                }
                const QJsonObject meta = json["meta"].toObject();
                EXPECT_EQ(meta["image"], "hero-sheet.png");
                EXPECT_EQ(meta["format"], "RGBA8888");
                EXPECT_EQ(meta["size"], QJsonObject({{"w", image.width()}, {"h", image.height()}}));
                EXPECT_EQ(meta["scale"], QString::number(percent / 100));
            }
}
