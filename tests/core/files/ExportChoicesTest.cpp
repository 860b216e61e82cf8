#include "ExportChoices.h"
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrin::test;
using Format = ExportChoices::Format;

namespace {

const QString times = QStringLiteral("\u00D7");

QString size(qint64 width, qint64 height) {
    return QStringLiteral("%1 %2 %3 px").arg(width).arg(times).arg(height);
}

} // namespace

TEST(ExportChoices, ScaleIsPulledIntoWhatTheChoicesOffer) {
    struct Case {
        const char* what;
        Sprite sprite;
        qint64 startScale;
        std::function<void(ExportChoices&)> change;
        qint64 expectedScale;
        QList<qint64> expectedOffer;
    };
    const QList<qint64> allPercents = {25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    const auto nothing = [](ExportChoices&) {};
    const QList<Case> cases = {
        {"every offer above the scale",
         Sprite::blank(16, 16),
         25,
         [](ExportChoices& c) { c.setFileFormat(ExportFormat::ico); },
         100,
         {100, 200, 300, 400, 800}},
        {"a GIF follows the PNG rules, not the hidden ICO choice", animation(48, 32, 2), 300,
         [](ExportChoices& c) {
             c.setFileFormat(ExportFormat::ico);
             c.setFormat(Format::gif);
         },
         300, allPercents},
        {"a 4000-wide canvas",
         Sprite::blank(4000, 10),
         1000,
         nothing,
         400,
         {25, 50, 100, 200, 300, 400}},
    };
    for (const Case& test : cases) {
        ExportChoices choices(test.sprite, QStringLiteral("hero"), test.startScale);
        test.change(choices);
        EXPECT_EQ(choices.scale(), test.expectedScale) << test.what;
        EXPECT_EQ(choices.availableScales(), test.expectedOffer) << test.what;
        EXPECT_EQ(choices.canExport(), !test.expectedOffer.isEmpty()) << test.what;
    }
}

TEST(ExportChoices, SummaryDescribesEveryKindOfExport) {
    Sprite sprite = animation(16, 16, 3, {100, 100, 200});
    sprite.activeFrameIndex = 1;
    addLayer(sprite, QStringLiteral("Eyes"));
    sprite.layers[addLayer(sprite, QStringLiteral("Hidden"))].isVisible = false;
    struct Case {
        Format format;
        QString expected;
    };
    const QList<Case> cases = {
        {Format::frame, size(32, 32) + "\nFrame 2 of 3"},
        {Format::gif, size(32, 32) + QStringLiteral("\n3 frames \u00B7 400 ms loop")},
        {Format::apng, size(32, 32) + QStringLiteral("\n3 frames \u00B7 400 ms loop")},
        {Format::spriteSheet, size(96, 32) + "\n3 " + times + " 1 frames"},
        {Format::allFrames, size(32, 32) + " each\n3 files"},
        {Format::allLayers, size(32, 32) + " each\n2 files"},
    };
    ExportChoices choices(sprite, {}, 200);
    for (const Case& test : cases) {
        choices.setFormat(test.format);
        EXPECT_EQ(choices.summary(), test.expected)
            << ExportChoices::title(test.format).toStdString();
    }
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
    EXPECT_EQ(choices.summary(), size(4 * 24 + 2, 2 * 5 + 2) + "\n4 " + times + " 2 frames");

    // New pixels widen the trimmed bounds at once.
    fill(sprite, 0, 2, {0, 0, 1, 1}, 0xFF0000FFu);
    choices.setSprite(sprite);
    EXPECT_EQ(choices.frameSource(), (PixelRect{0, 0, 26, 13}));
}

TEST(ExportChoices, SizesNeverShrinkBelowTheOnePixelWritten) {
    ExportChoices choices(Sprite::blank(1, 1), {}, 25);
    EXPECT_EQ(choices.summary(), size(1, 1) + "\nFrame 1 of 1");
}

TEST(ExportChoices, SuggestsNamesAndContentTypesPerKind) {
    struct Case {
        QString documentName;
        Format format;
        ExportFormat fileFormat;
        qint64 scale;
        QString name;
        QString mimeType;
    };
    const QList<Case> cases = {
        {"hero", Format::frame, ExportFormat::png, 200, "hero@2x.png", "image/png"},
        {"", Format::frame, ExportFormat::jpeg, 100, "Untitled.jpg", "image/jpeg"},
        {"hero", Format::spriteSheet, ExportFormat::png, 100, "hero-sheet.png", "image/png"},
        {"hero", Format::spriteSheet, ExportFormat::svg, 50, "hero-sheet@0.5x.svg",
         "image/svg+xml"},
        {"", Format::spriteSheet, ExportFormat::png, 100, "Untitled.png", "image/png"},
        {"hero", Format::gif, ExportFormat::jpeg, 300, "hero.gif", "image/gif"},
        {"", Format::gif, ExportFormat::png, 100, "Untitled.gif", "image/gif"},
    };
    for (const Case& test : cases) {
        ExportChoices choices(animation(16, 16, 2), test.documentName, test.scale);
        choices.setFormat(test.format);
        choices.setFileFormat(test.fileFormat);
        EXPECT_EQ(choices.suggestedFileName(), test.name);
        EXPECT_EQ(choices.mimeType(), test.mimeType) << test.name.toStdString();
        EXPECT_TRUE(test.name.endsWith(u'.' + choices.fileExtension())) << test.name.toStdString();
    }
}

TEST(ExportChoices, MetadataNeverReplacesTheImage) {
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out/hero-sheet.png"), "/tmp/out/hero-sheet.json");
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out/hero.v2.PNG"), "/tmp/out/hero.v2.json");
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out.d/sheet"), "/tmp/out.d/sheet.json");
    EXPECT_EQ(ExportChoices::metadataPath("/tmp/out/sheet.json"), "/tmp/out/sheet.json.json");
}

TEST(ExportChoices, AnimatedPngIsALoopingPngOfAnyFrameCount) {
    ExportChoices choices(animation(48, 32, 1), "hero", 300);
    choices.setFileFormat(ExportFormat::ico); // hidden for animations; PNG rules apply
    choices.setFormat(Format::apng);
    EXPECT_EQ(ExportChoices::title(Format::apng), "Animated PNG");
    EXPECT_EQ(choices.scale(), 300);
    EXPECT_TRUE(choices.canExport()) << "one frame is a valid animated PNG";
    EXPECT_EQ(choices.suggestedFileName(), "hero.png");
    EXPECT_EQ(choices.mimeType(), "image/apng");
    EXPECT_EQ(choices.fileExtension(), "png");
}

TEST(ExportChoices, NoteNamesTheFormatWithItsArticle) {
    // Seventeen 4096-px frames side by side pass the largest side even at 25 %.
    ExportChoices sheet(animation(4096, 1, 17), QStringLiteral("strip"), 100);
    sheet.setFormat(Format::spriteSheet);
    const QList<std::pair<ExportFormat, QString>> cases = {{ExportFormat::png, "a PNG"},
                                                           {ExportFormat::jpeg, "a JPEG"},
                                                           {ExportFormat::bmp, "a BMP"},
                                                           {ExportFormat::svg, "an SVG"}};
    for (const auto& [format, named] : cases) {
        sheet.setFileFormat(format);
        EXPECT_EQ(sheet.note(),
                  QStringLiteral("This canvas cannot be written as %1 at any scale.").arg(named));
        EXPECT_FALSE(sheet.canExport());
    }
    ExportChoices icon(Sprite::blank(48, 32), QStringLiteral("icon"), 100);
    icon.setFileFormat(ExportFormat::ico);
    EXPECT_EQ(icon.note(), QStringLiteral("This canvas cannot be written as an ICO at any scale."));
}
