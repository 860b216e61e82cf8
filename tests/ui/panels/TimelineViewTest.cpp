#include "TimelineView.h"
#include "PanelFixture.h"
#include "TimelineGridView.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

struct TimelineTest : PanelFixture {
    TimelineView* timeline = nullptr;

    void show(Sprite sprite) {
        open(std::move(sprite));
        timeline = PanelFixture::show<TimelineView>(600);
    }

    TimelineGridView& grid() { return *timeline->grid(); }
    QLineEdit& durationField() { return *timeline->findChild<QLineEdit*>(); }
    QString summaryText() {
        for (QLabel* label : timeline->findChildren<QLabel*>())
            if (label->text().contains(" frames \u00B7 "))
                return label->text();
        return {};
    }
    QToolButton* button(const QString& toolTip) { return buttonWithToolTip(*timeline, toolTip); }
    void clickHeader(qint64 frame) {
        QTest::mouseClick(&grid(), Qt::LeftButton, {}, grid().headerRect(frame).center());
    }
    // Types into the duration field, then clicks a header, which takes the focus.
    void typeDuration(const QString& text, qint64 clickedFrame = 0) {
        durationField().setFocus();
        durationField().selectAll();
        QTest::keyClicks(&durationField(), text);
        EXPECT_TRUE(editor->view().isEditingText());
        clickHeader(clickedFrame);
        EXPECT_FALSE(editor->view().isEditingText());
    }
    // A header dragged onto another with the mouse.
    void dragHeader(qint64 from, qint64 to) {
        const QPoint start = grid().headerRect(from).center();
        const QPoint end = grid().headerRect(to).center();
        QTest::mousePress(&grid(), Qt::LeftButton, {}, start);
        QTest::mouseMove(&grid(), start + QPoint(0, QApplication::startDragDistance()));
        QTest::mouseMove(&grid(), end);
        EXPECT_EQ(grid().draggingFrame(), from);
        QTest::mouseRelease(&grid(), Qt::LeftButton, {}, end);
        EXPECT_FALSE(grid().draggingFrame().has_value());
    }
    // Opens the context menu of a frame's header and returns it, still open.
    QMenu& headerMenu(qint64 frame) {
        const QPoint point = grid().headerRect(frame).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, grid().mapToGlobal(point));
        QApplication::sendEvent(&grid(), &event);
        return *grid().findChild<QMenu*>();
    }
};

TEST_F(TimelineTest, SummaryAddsDurationsWithoutOverflowing) {
    show(spriteWithFrames({100, 100, 250}));
    EXPECT_EQ(summaryText(), "3 frames \u00B7 450 ms");
    editor->addEmptyFrame();
    EXPECT_EQ(summaryText(), "4 frames \u00B7 550 ms");

    const qint64 huge = std::numeric_limits<qint64>::max();
    EXPECT_EQ(TimelineView::summary({Frame{huge}, Frame{huge}, Frame{5}}),
              QString("3 frames \u00B7 %1 ms").arg(huge));
}

TEST_F(TimelineTest, DurationFieldCommitsOnFocusLossAndRevertsBadInput) {
    show(spriteWithFrames({100, 200}));
    EXPECT_EQ(durationField().text(), "100");

    typeDuration("abc");
    EXPECT_EQ(durationField().text(), "100");
    EXPECT_EQ(undo().count(), 0);

    typeDuration("99999999999999999999"); // does not fit: reverted, not wrapped
    EXPECT_EQ(durationField().text(), "100");
    EXPECT_EQ(durations(), (QList<qint64>{100, 200}));

    typeDuration("  80 ");
    EXPECT_EQ(durations(), (QList<qint64>{80, 200}));
    EXPECT_EQ(undo().undoText(), "Change Frame Duration");
    EXPECT_EQ(durationField().text(), "80");

    // The edit belongs to the frame that was active while typing; the click then selects.
    typeDuration("150", 1);
    EXPECT_EQ(durations(), (QList<qint64>{150, 200}));
    EXPECT_EQ(sprite().activeFrameIndex, 1);
    EXPECT_EQ(durationField().text(), "200");

    durationField().setFocus();
    durationField().selectAll();
    QTest::keyClicks(&durationField(), "-7");
    QTest::keyClick(&durationField(), Qt::Key_Return);
    EXPECT_EQ(durations(), (QList<qint64>{150, 10})); // raised to the lowest duration

    undo().undo();
    clickHeader(1);
    EXPECT_EQ(durationField().text(), "200"); // an undo shows through once the field is left
}

TEST_F(TimelineTest, DraggingAHeaderReordersFramesAsOneUndoableStep) {
    show(spriteWithFrames({100, 200, 300}));
    dragHeader(0, 2);
    EXPECT_EQ(durations(), (QList<qint64>{200, 300, 100}));
    EXPECT_EQ(sprite().activeFrameIndex, 2);

    undo().undo();
    EXPECT_EQ(durations(), (QList<qint64>{100, 200, 300}));

    const qint64 steps = undo().count();
    dragHeader(1, 1);
    EXPECT_EQ(undo().count(), steps);
    EXPECT_EQ(durations(), (QList<qint64>{100, 200, 300}));

    // Released off the headers, or cancelled with Escape, a drag moves nothing.
    QTest::mousePress(&grid(), Qt::LeftButton, {}, grid().headerRect(0).center());
    QTest::mouseMove(&grid(), grid().headerRect(2).center());
    QTest::mouseRelease(&grid(), Qt::LeftButton, {}, grid().celRect(0, 2).center());
    QTest::mousePress(&grid(), Qt::LeftButton, {}, grid().headerRect(0).center());
    QTest::mouseMove(&grid(), grid().headerRect(2).center());
    QTest::keyClick(&grid(), Qt::Key_Escape);
    EXPECT_FALSE(grid().draggingFrame().has_value());
    QTest::mouseRelease(&grid(), Qt::LeftButton, {}, grid().headerRect(2).center());
    EXPECT_EQ(undo().count(), steps);
    EXPECT_EQ(sprite().activeFrameIndex, 0); // a drag is not a click on its header
}

TEST_F(TimelineTest, ClickingACelPlacesFloatingPixelsThenSelectsItsLayerAndFrame) {
    show(spriteWithFrames({100, 100, 100}, 2));
    editor->startPlayback();
    // Floating pixels over the bottom layer's first frame are placed there before moving on.
    editor->setFloatingPaste(FloatingPaste{QList<quint32>(1, 0xFFFF0000), 1, 1, {3, 3}});

    QTest::mouseClick(&grid(), Qt::LeftButton, {}, grid().celRect(0, 2).center());
    EXPECT_FALSE(editor->floatingPaste().has_value());
    EXPECT_EQ(sprite().celPointer(0, 0)->pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(sprite().celPointer(1, 2), nullptr);
    EXPECT_EQ(sprite().activeLayerID, sprite().layers[1].id);
    EXPECT_EQ(sprite().activeFrameIndex, 2);
    EXPECT_FALSE(editor->playback().isPlaying());

    QTest::mouseClick(&grid(), Qt::LeftButton, {}, grid().nameRect(1).center());
    EXPECT_EQ(sprite().activeLayerID, sprite().layers[0].id);
    EXPECT_EQ(sprite().activeFrameIndex, 2);
    clickHeader(0);
    EXPECT_EQ(sprite().activeFrameIndex, 0);
}

TEST_F(TimelineTest, ControlsFollowPlaybackAndFrameCount) {
    show(spriteWithFrames({100}));
    QToolButton* play = button("Play (Return)");
    ASSERT_NE(play, nullptr);
    EXPECT_FALSE(play->isEnabled()); // one frame cannot play
    EXPECT_FALSE(button("Delete Frame")->isEnabled());

    button("New Frame \u2014 carries this frame's pixels forward (Ctrl+Alt+N)")->click();
    button("New Empty Frame (Ctrl+Alt+Shift+N)")->click();
    EXPECT_FALSE(sprite().layers[0].cels[2].has_value());
    EXPECT_TRUE(button("Delete Frame")->isEnabled());

    play->click();
    EXPECT_TRUE(editor->playback().isPlaying());
    play->click();
    EXPECT_FALSE(editor->playback().isPlaying());

    button("Delete Frame")->click();
    EXPECT_EQ(sprite().frames.size(), 2);
}

TEST_F(TimelineTest, HeaderMenuActsOnTheClickedFrame) {
    show(spriteWithFrames({100, 200, 300}));
    const auto trigger = [&](qint64 frame, const QString& text) {
        std::unique_ptr<QMenu> menu(&headerMenu(frame));
        actionNamed(*menu, text)->trigger();
    };
    trigger(2, "Clear Frame");
    EXPECT_FALSE(sprite().layers[0].cels[2].has_value());
    EXPECT_TRUE(sprite().layers[0].cels[0].has_value());
    trigger(1, "Duplicate Frame");
    EXPECT_EQ(durations(), (QList<qint64>{100, 200, 200, 300}));
    trigger(0, "Delete Frame");
    EXPECT_EQ(durations(), (QList<qint64>{200, 200, 300}));

    show(spriteWithFrames({100}));
    EXPECT_FALSE(actionNamed(headerMenu(0), "Delete Frame")->isEnabled());
}

} // namespace
