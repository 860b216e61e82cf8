#include "ToolKind.h"

#include <gtest/gtest.h>

TEST(ToolKind, StripOrderShortcutsAndOptions) {
    QString shortcuts;
    for (ToolKind kind : ToolKinds::all)
        shortcuts += ToolKinds::shortcut(kind);
    EXPECT_EQ(shortcuts, "pegiluotmv"); // also proves every shortcut is distinct

    QList<ToolKind> pixelPerfect, fill;
    for (ToolKind kind : ToolKinds::all) {
        if (ToolKinds::usesPixelPerfect(kind))
            pixelPerfect.append(kind);
        if (ToolKinds::usesFill(kind))
            fill.append(kind);
        EXPECT_EQ(ToolKinds::fromRawValue(ToolKinds::rawValue(kind)), kind);
    }
    EXPECT_EQ(pixelPerfect, (QList<ToolKind>{ToolKind::pencil, ToolKind::eraser}));
    EXPECT_EQ(fill, (QList<ToolKind>{ToolKind::rectangle, ToolKind::ellipse, ToolKind::triangle}));
    EXPECT_FALSE(ToolKinds::fromRawValue("Pencil").has_value());
}
