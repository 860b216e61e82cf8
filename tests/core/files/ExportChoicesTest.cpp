#include "ExportChoices.h"
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrin::test;
using Format = ExportChoices::Format;

namespace {

QString size(qint64 width, qint64 height) {
    return QStringLiteral("%1 \u00D7 %2 px").arg(width).arg(height);
}

} // namespace

// The table of offered scales lives in ExportService; here the choice follows the offer.
TEST(ExportChoices, ScaleIsPulledIntoWhatTheChoicesOffer) {
    ExportChoices icon(Sprite::blank(16, 16), "hero", 25);
    icon.setFileFormat(ExportFormat::ico);
    EXPECT_EQ(icon.scale(), 100); // the lowest offer above the scale
    ExportChoices wide(Sprite::blank(4000, 10), "hero", 1000);
    EXPECT_EQ(wide.scale(), 400); // the highest offer below it
    EXPECT_EQ(wide.availableScales(), (QList<qint64>{25, 50, 100, 200, 300, 400}));
    // An animation follows the PNG rules, not the hidden ICO choice; one frame is a valid APNG.
    for (const Format format : {Format::gif, Format::apng}) {
        ExportChoices choices(animation(48, 32, format == Format::gif ? 2 : 1), "hero", 300);
        choices.setFileFormat(ExportFormat::ico);
        choices.setFormat(format);
        EXPECT_EQ(choices.scale(), 300);
        if (format == Format::gif)
            EXPECT_EQ(choices.availableScales().size(), 12);
        EXPECT_TRUE(choices.canExport());
    }
}

TEST(ExportChoices, SummaryDescribesEveryKindOfExport) {
    Sprite sprite = animation(16, 16, 3, {100, 100, 200});
    sprite.activeFrameIndex = 1;
    addLayer(sprite, QStringLiteral("Eyes"));
    sprite.layers[addLayer(sprite, QStringLiteral("Hidden"))].isVisible = false;
    const QList<std::pair<Format, QString>> cases = {
        {Format::frame, size(32, 32) + "\nFrame 2 of 3"},
        {Format::gif, size(32, 32) + QStringLiteral("\n3 frames \u00B7 400 ms loop")},
        {Format::spriteSheet, size(96, 32) + QStringLiteral("\n3 \u00D7 1 frames")},
        {Format::allFrames, size(32, 32) + " each\n3 files"},
        {Format::allLayers, size(32, 32) + " each\n2 files"},
    };
    ExportChoices choices(sprite, {}, 200);
    for (const auto& [format, expected] : cases) {
        choices.setFormat(format);
        EXPECT_EQ(choices.summary(), expected) << ExportChoices::title(format).toStdString();
    }
    EXPECT_EQ(ExportChoices(Sprite::blank(1, 1), {}, 25).summary(), size(1, 1) + "\nFrame 1 of 1");
}

TEST(ExportChoices, TrimmedSizeFollowsTheSprite) {
    // The drawing spans x 4–25 over two frames and y 10–12: a shared 22 × 3 rectangle.
    Sprite sprite = animation(32, 32, 5);
    fill(sprite, 0, 0, {4, 10, 6, 3}, 0xFFFF0000u);
    fill(sprite, 0, 1, {20, 10, 6, 3}, 0xFF00FF00u);
    ExportChoices choices(sprite, {}, 100);
    choices.setFormat(Format::spriteSheet);
    choices.setLayout(SpriteSheetLayout::grid);
    choices.setPadding(2);
    choices.setTrim(true);
    EXPECT_EQ(choices.summary(),
              size(4 * 24 + 2, 2 * 5 + 2) + QStringLiteral("\n4 \u00D7 2 frames"));
    fill(sprite, 0, 2, {0, 0, 1, 1}, 0xFF0000FFu);
    choices.setSprite(sprite);
    EXPECT_EQ(choices.frameSource(), (PixelRect{0, 0, 26, 13}));
}

TEST(ExportChoices, SuggestsNamesAndContentTypesPerKind) {
    struct Case {
        QString documentName;
        Format format;
        ExportFormat fileFormat;
        qint64 scale;
        QString name, mimeType;
    };
    const QList<Case> cases = {
        {"hero", Format::frame, ExportFormat::png, 200, "hero@2x.png", "image/png"},
        {"", Format::frame, ExportFormat::jpeg, 100, "Untitled.jpg", "image/jpeg"},
        {"hero", Format::spriteSheet, ExportFormat::svg, 50, "hero-sheet@0.5x.svg",
         "image/svg+xml"},
        {"hero", Format::gif, ExportFormat::jpeg, 300, "hero.gif", "image/gif"},
        {"hero", Format::apng, ExportFormat::ico, 300, "hero.png", "image/apng"},
    };
    for (const Case& test : cases) {
        ExportChoices choices(animation(16, 16, 2), test.documentName, test.scale);
        choices.setFormat(test.format);
        choices.setFileFormat(test.fileFormat);
        EXPECT_EQ(choices.suggestedFileName(), test.name);
        EXPECT_EQ(choices.mimeType(), test.mimeType) << test.name.toStdString();
        EXPECT_TRUE(test.name.endsWith(u'.' + choices.fileExtension())) << test.name.toStdString();
    }
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out/hero.v2.PNG"), "/tmp/out/hero.v2.json");
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out/sheet.json"), "/tmp/out/sheet.json.json");
}

TEST(ExportChoices, NoteNamesTheFormatWithItsArticle) {
    // Seventeen 4096-px frames side by side pass the largest side even at 25 %.
    ExportChoices sheet(animation(4096, 1, 17), QStringLiteral("strip"), 100);
    sheet.setFormat(Format::spriteSheet);
    for (const auto& [format, named] : QList<std::pair<ExportFormat, QString>>{
             {ExportFormat::png, "a PNG"}, {ExportFormat::svg, "an SVG"}}) {
        sheet.setFileFormat(format);
        EXPECT_EQ(sheet.note(),
                  QStringLiteral("This canvas cannot be written as %1 at any scale.").arg(named));
        EXPECT_FALSE(sheet.canExport());
    }
}
