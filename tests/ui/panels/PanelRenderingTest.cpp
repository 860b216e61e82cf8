#include "PanelFixture.h"
#include "BrushInspector.h"
#include "EditorToolbar.h"
#include "StatusBarView.h"
#include "SymmetryInspector.h"
#include "TimelineView.h"
#include "ToolStripView.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <functional>

namespace {

// Distinct colours in an image: a panel that drew nothing has one.
qint64 colourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

using PanelRenderingTest = PanelFixture;

TEST_F(PanelRenderingTest, EveryPanelDrawsAtItsSize) {
    open(spriteWithFrames({100, 200}, 2));
    const QList<std::function<QWidget*(EditorState*)>> makers = {
        [](EditorState* e) { return new TimelineView(e); },
        [](EditorState* e) { return new ToolStripView(e); },
        [](EditorState* e) { return new EditorToolbar(e); },
        [](EditorState* e) { return new StatusBarView(e); },
        [](EditorState* e) { return new BrushInspector(e); },
        [](EditorState* e) { return new SymmetryInspector(e); },
    };
    for (const auto& make : makers) {
        std::unique_ptr<QWidget> panel(make(editor.get()));
        SCOPED_TRACE(panel->metaObject()->className());
        panel->show();
        const QImage image = panel->grab().toImage();
        EXPECT_EQ(image.size(), panel->size());
        EXPECT_GT(colourCount(image), 2);
    }

    ToolStripView strip(editor.get());
    strip.show();
    QAbstractButton* pencil = strip.button(ToolKind::pencil);
    EXPECT_EQ(pencil->grab().size(), QSize(34, 30));
    EXPECT_EQ(pencil->iconSize(), QSize(15, 15));
    TimelineView timeline(editor.get());
    timeline.show();
    EXPECT_EQ(timeline.findChild<QLineEdit*>()->width(), 46);
}

} // namespace
