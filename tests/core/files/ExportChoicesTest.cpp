#include "ExportChoices.h"
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrin::test;
using Format = ExportChoices::Format;

// The offered scales are ExportService's; here the chosen scale follows the offer.
TEST(ExportChoices, ScaleIsPulledIntoWhatTheChoicesOffer) {
    ExportChoices icon(Sprite::blank(16, 16), "hero", 25);
    icon.setFileFormat(ExportFormat::ico);
    EXPECT_EQ(icon.scale(), 100); // the lowest offer above the scale
    ExportChoices wide(Sprite::blank(4000, 10), "hero", 1000);
    EXPECT_EQ(wide.scale(), 400); // the highest offer below it
    // An animation follows the PNG rules, not the hidden ICO choice; one frame is a valid APNG.
    for (const Format format : {Format::gif, Format::apng}) {
        ExportChoices choices(animation(48, 32, format == Format::gif ? 2 : 1), "hero", 300);
        choices.setFileFormat(ExportFormat::ico);
        choices.setFormat(format);
        EXPECT_EQ(choices.scale(), 300);
        EXPECT_TRUE(choices.canExport());
    }
}
