#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class PixelDocument;

// Plays a document's frames in a loop, each for its own duration. It only chooses which frame
// is shown; it never changes the sprite.
class Playback : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool playing READ isPlaying NOTIFY playingChanged)
    Q_PROPERTY(qint64 frame READ frame NOTIFY frameChanged)

public:
    // A frame longer than this is still shown for this long: QTimer counts in int milliseconds.
    static constexpr qint64 maximumDelay = 60 * 60 * 1000;

    explicit Playback(const PixelDocument& document, QObject* parent = nullptr);

    bool isPlaying() const { return m_playing; }
    qint64 frame() const { return m_frame; }
    // Starts at the active frame; nothing happens with fewer than two frames.
    void start();
    void stop();
    // Called by the timer: shows the next frame and times it.
    void advance();
    // The frame the canvas shows: the playing one, or else the active one.
    qint64 displayFrame() const;
    // The pending one-shot step, active while playback waits for the next frame.
    const QTimer& timer() const { return stepTimer; }

signals:
    void playingChanged(bool playing);
    void frameChanged(qint64 frame);
    // The shown frame changed: the canvas must redraw.
    void displayChanged();

private:
    void setPlaying(bool playing);
    void setFrame(qint64 frame);
    void scheduleStep(qint64 now);

    const PixelDocument& doc;
    bool m_playing = false;
    qint64 m_frame = 0;
    QTimer stepTimer;
    QElapsedTimer clock; // since playback started
    qint64 frameDue = 0; // on the clock: when the shown frame ends
};
