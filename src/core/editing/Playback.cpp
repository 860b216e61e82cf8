#include "Playback.h"

#include "ObservedField.h"
#include "PixelDocument.h"

#include <algorithm>

Playback::Playback(const PixelDocument& document, QObject* parent)
    : QObject(parent), doc(document) {
    stepTimer.setSingleShot(true);
    stepTimer.setTimerType(Qt::PreciseTimer); // the coarse timer is off by up to 5 %
    connect(&stepTimer, &QTimer::timeout, this, &Playback::advance);
}

void Playback::setPlaying(bool playing) {
    assignObserved(this, m_playing, playing, &Playback::playingChanged);
}

void Playback::setFrame(qint64 frame) {
    assignObserved(this, m_frame, frame, &Playback::frameChanged);
}

void Playback::start() {
    if (m_playing || doc.sprite().frames.size() < 2)
        return;
    setFrame(doc.sprite().activeFrameIndex);
    setPlaying(true);
    clock.start();
    frameDue = 0;
    scheduleStep(0);
}

void Playback::scheduleStep(qint64 now) {
    const QList<Frame>& frames = doc.sprite().frames;
    const qint64 shown = std::min(m_frame, qint64(frames.size()) - 1);
    const qint64 duration =
        shown >= 0 && shown < frames.size() ? frames[shown].duration : Frame::defaultDuration;
    // Bounded both ways: a zero or negative duration from a file must not spin the loop,
    // and QTimer takes int milliseconds.
    const qint64 delay = std::clamp(duration, Frame::minimumDuration, maximumDelay);
    // Each frame is timed from when the one before should have ended, so timer lateness never
    // adds up; a step later than a whole frame starts afresh rather than racing to catch up.
    const qint64 lateness = now - frameDue;
    frameDue = (lateness > 0 && lateness < delay ? frameDue : now) + delay;
    stepTimer.start(int(frameDue - now));
}

void Playback::advance() {
    if (!m_playing)
        return;
    const qint64 count = doc.sprite().frames.size();
    if (count < 2) {
        stop();
        return;
    }
    setFrame((m_frame + 1) % count);
    emit displayChanged();
    scheduleStep(clock.elapsed());
}

void Playback::stop() {
    stepTimer.stop();
    if (!m_playing)
        return;
    setPlaying(false);
    emit displayChanged();
}

qint64 Playback::displayFrame() const {
    if (!m_playing)
        return doc.sprite().activeFrameIndex;
    const qint64 count = doc.sprite().frames.size();
    return count > 0 ? std::min(m_frame, count - 1) : std::max<qint64>(m_frame, 0);
}
