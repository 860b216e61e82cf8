#include "Cel.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

qint64 heldBytes(const Cel& cel, const Cel* apartFrom = nullptr) {
    qint64 bytes = 0;
    cel.forEachBand([&](const void*, qint64 size) { bytes += size; }, apartFrom);
    return bytes;
}

} // namespace

// Copies share storage until written, and a write copies only the band it lands in, so a big
// cel's snapshot costs what the stroke touched.
TEST(CelTest, WritesCopyOnlyTheirBand) {
    Cel cel(4096, 4096);
    EXPECT_EQ(heldBytes(cel), 0); // blank: nothing allocated
    EXPECT_EQ(cel.pixel(4095, 4095), 0u);
    cel.fill(0xFF112233);
    EXPECT_EQ(heldBytes(cel), 4096LL * 4096 * 4);

    Cel snapshot = cel;
    EXPECT_TRUE(snapshot.sharesStorageWith(cel));
    cel.setPixel(10, 2000, 0xFF000000);
    EXPECT_FALSE(snapshot.sharesStorageWith(cel));
    EXPECT_EQ(heldBytes(cel, &snapshot), 64 * 1024); // one band of its own
    EXPECT_EQ(snapshot.pixel(10, 2000), 0xFF112233u);
    EXPECT_EQ(cel.pixel(10, 2000), 0xFF000000u);
    EXPECT_EQ(cel.differences(snapshot, cel.bounds()).spans(),
              (std::vector<PixelSpans::Span>{{2000, 10, 11}}));
    EXPECT_NE(cel, snapshot);
    cel.setPixel(10, 2000, 0xFF112233);
    EXPECT_EQ(cel, snapshot); // equal words, separate storage

    cel.fill(0);
    EXPECT_EQ(heldBytes(cel), 0);
}

// Every way in and out of a cel agrees with a plain row-major array, whatever the width (a
// band holds one row of a wide cel, many rows of a narrow one, and a part-filled last band).
TEST(CelTest, AgreesWithAFlatArrayAtEveryWidth) {
    QRandomGenerator random(5);
    for (qint64 width : {1, 2, 3, 8, 63, 4095, 16384, 20000}) {
        const qint64 height = width > 4096 ? 3 : 4099 / width + 5;
        QList<quint32> flat(width * height, 0u);
        for (quint32& word : flat)
            word = random.bounded(4) == 0 ? 0u : random.generate();
        Cel cel(width, height, flat);
        ASSERT_EQ(cel.words(), flat) << width;

        const PixelRect rect{width / 3, height / 2, std::max<qint64>(1, width / 2), 2};
        QList<quint32> replacement(rect.area(), 0xFFABCDEF);
        const Cel before = cel;
        cel.replace(rect, replacement);
        for (qint64 y = rect.y; y < rect.bottom(); ++y)
            for (qint64 x = rect.x; x < rect.right(); ++x)
                flat[y * width + x] = 0xFFABCDEF;
        EXPECT_EQ(cel.words(), flat) << width;
        EXPECT_EQ(cel.extract(rect), replacement);

        // Rectangles hanging off the cel read what lies inside, and writes that do not fit
        // change nothing.
        const PixelRect hanging{width - 1, 1, 4, 1};
        EXPECT_EQ(cel.extract(hanging), QList<quint32>{cel.pixel(width - 1, 1)});
        EXPECT_TRUE(cel.extract({width, 0, 2, 2}).isEmpty());
        const Cel unchanged = cel;
        cel.replace(hanging, {1, 2, 3, 4});
        cel.replace({0, 0, width, 1}, QList<quint32>(width - 1, 9)); // wrong length
        EXPECT_EQ(cel, unchanged);

        // Runs of differences carry a cel back and forth exactly.
        const PixelSpans runs = cel.differences(before, cel.bounds());
        Cel restored = cel;
        restored.replace(runs, before.extract(runs));
        EXPECT_EQ(restored, before) << width;
        restored.replace(runs, cel.extract(runs));
        EXPECT_EQ(restored, cel) << width;
    }
    EXPECT_THROW(Cel(2, 2, QList<quint32>(3, 0u)), std::invalid_argument);
    EXPECT_TRUE(Cel(0, 5).words().isEmpty());
}
