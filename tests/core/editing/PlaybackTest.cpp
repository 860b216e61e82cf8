#include "EditorFixture.h"

#include <QDeadlineTimer>
#include <QTest>

namespace {

// Frames of the given durations; playback timing is read from the pending timer.
Sprite framesOf(const QList<qint64>& durations) {
    Sprite sprite = Sprite::blank(4, 4);
    for (qint64 i = 1; i < durations.size(); ++i)
        sprite.insertFrame(i);
    for (qint64 i = 0; i < durations.size(); ++i)
        sprite.frames[i].duration = durations[i];
    return sprite;
}

bool waitUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(10'000);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(5);
    return condition();
}

} // namespace

TEST_F(EditorFixture, PlaybackShowsEachFrameForItsOwnDurationAndLoops) {
    editor->startPlayback(); // one frame: never starts
    EXPECT_FALSE(editor->playback().isPlaying());

    open(framesOf({100, 500, 40}));
    document->sprite().activeFrameIndex = 1;
    editor->startPlayback();
    QList<std::pair<qint64, int>> shown;
    for (int step = 0; step < 4; ++step) {
        shown.append({editor->displayFrame(), editor->playback().timer().isActive()
                                                  ? editor->playback().timer().interval()
                                                  : -1});
        editor->playback().advance();
    }
    EXPECT_EQ(shown, (QList<std::pair<qint64, int>>{{1, 500}, {2, 40}, {0, 100}, {1, 500}}));
    EXPECT_EQ(invalidated.size(), 4);
    EXPECT_EQ(sprite().activeFrameIndex, 1); // playback never edits

    editor->playback().stop();
    EXPECT_EQ(editor->displayFrame(), 1);
    EXPECT_EQ(invalidated.size(), 5);
}

TEST_F(EditorFixture, PlaybackDelaysStayWithinTheTimerRange) {
    open(framesOf({qint64(1) << 40, 0}));
    editor->startPlayback();
    EXPECT_EQ(editor->playback().timer().interval(), Playback::maximumDelay);
    editor->playback().advance();
    EXPECT_EQ(editor->playback().timer().interval(), 10); // a stored 0 must not spin the loop

    document->sprite().removeFrame(1); // frames vanished behind playback's back (undo)
    editor->playback().advance();
    EXPECT_FALSE(editor->playback().isPlaying());
}

TEST_F(EditorFixture, PlaybackRunsOnTheEventLoopAndStopsForFrameCommands) {
    open(framesOf({10, 10, 10}));
    editor->startPlayback();
    EXPECT_TRUE(waitUntil([&] { return editor->playback().frame() == 2; }));
    EXPECT_TRUE(waitUntil([&] { return editor->playback().frame() == 0; }));
    editor->deleteFrame(17); // refused, but stops playback first
    EXPECT_FALSE(editor->playback().isPlaying());
    EXPECT_EQ(sprite().frames.size(), 3);

    editor->startPlayback();
    editor.reset();
    QTest::qWait(40); // a timer left behind would fire into freed memory here
    EXPECT_EQ(sprite().frames.size(), 3);
}
