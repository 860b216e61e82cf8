#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <optional>

class QWidget;

// Remembers the content size of the last editor window resized or closed, under the setting
// "EditorWindowContentSize", and gives new editor windows that size. The arithmetic is in
// static functions of plain values; the rest watches one window each.
class WindowFrameMemory : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 minimumWidth = 640;
    static constexpr qint64 minimumHeight = 420;

    // Adopts an editor window once: stores its size after every resize and when it closes,
    // applies the stored size now and centres it when it is the only open document.
    static void observe(QWidget* window, qint64 openDocumentCount);

    // The stored size, when the setting holds exactly two finite numbers.
    static std::optional<QSizeF> storedSize();
    // Fits the stored size to the window's screen and applies it when it is still big enough.
    static void applyStoredSize(QWidget* window);
    // Stores the window's content size unless the window is full screen or too small.
    static void store(QWidget* window);
    // Centres the window on its screen when at most one document is open.
    static void centerIfAlone(QWidget* window, qint64 openDocumentCount);

    // The setting's value as a size: a list of exactly two finite numbers, else nothing.
    static std::optional<QSizeF> sizeFromSetting(const QVariant& value);
    // The stored size shrunk to the available area; nothing when the result is too small.
    static std::optional<QSize> fittedSize(QSizeF stored, QSize available);
    static bool isStorable(QSize size);
    // The origin that puts a frame of this size in the middle of the available area, rounded
    // to whole points with halves away from zero.
    static QPoint centeredOrigin(QSize frame, QRect available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowFrameMemory(QWidget* window);

    QWidget* window;
    // Qt has no end-of-resize notice: a resize that stays quiet for a moment counts as ended.
    QTimer resizeSettled;
};
