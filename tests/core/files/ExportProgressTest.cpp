#include "ExportService.h"
#include "ExportTestSupport.h"
#include "GIFService.h"
#include "SpriteSheetService.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

using namespace kestrin::test;

// Every long export counts its steps up to the total, in order, ending exactly at the total.
TEST(ExportProgress, LongExportsCountEveryStepInOrder) {
    Sprite sprite = animation(8, 8, 4);
    addLayer(sprite, QStringLiteral("Top"));
    sprite.layers[addLayer(sprite, QStringLiteral("Hidden"))].isVisible = false;
    QTemporaryDir folder;
    struct Case {
        const char* what;
        std::function<void(const StepProgress&)> run;
        qint64 total;
    };
    const QList<Case> cases = {
        {"GIF", [&](const StepProgress& p) { GIFService::data(sprite, 200, p); }, 4},
        {"sprite sheet, then its encoding",
         [&](const StepProgress& p) { SpriteSheetService::sheet(sprite, {}, p); }, 5},
        {"every visible layer",
         [&](const StepProgress& p) {
             ExportService::writeLayers(sprite, 0, 100, ExportFormat::png, folder.path(), "l", p);
         },
         2},
    };
    for (const Case& test : cases) {
        QList<std::pair<qint64, qint64>> reported;
        test.run([&reported](qint64 done, qint64 total) { reported.append({done, total}); });
        QList<std::pair<qint64, qint64>> expected;
        for (qint64 step = 1; step <= test.total; ++step)
            expected.append({step, test.total});
        EXPECT_EQ(reported, expected) << test.what;
    }
}
