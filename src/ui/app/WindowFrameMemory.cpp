#include "WindowFrameMemory.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <cmath>

namespace {

const QString settingKey = QStringLiteral("EditorWindowContentSize");

QSettings settingsStore() {
    return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
}

std::optional<double> finiteNumber(const QVariant& value) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// The visible area of the window's screen, or of the primary screen.
std::optional<QRect> availableArea(const QWidget* window) {
    QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry();
}

} // namespace

WindowFrameMemory::WindowFrameMemory(QWidget* window) : QObject(window), window(window) {
    resizeSettled.setSingleShot(true);
    resizeSettled.setInterval(400);
    connect(&resizeSettled, &QTimer::timeout, this, [this] { store(this->window); });
    window->installEventFilter(this);
}

void WindowFrameMemory::observe(QWidget* window, qint64 openDocumentCount) {
    if (!window || window->findChild<WindowFrameMemory*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new WindowFrameMemory(window);
    applyStoredSize(window);
    centerIfAlone(window, openDocumentCount);
}

bool WindowFrameMemory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window && event->type() == QEvent::Resize)
        resizeSettled.start();
    else if (watched == window && event->type() == QEvent::Close)
        store(window);
    return false;
}

std::optional<QSizeF> WindowFrameMemory::storedSize() {
    return sizeFromSetting(settingsStore().value(settingKey));
}

void WindowFrameMemory::applyStoredSize(QWidget* window) {
    const std::optional<QSizeF> stored = storedSize();
    const std::optional<QRect> area = availableArea(window);
    if (!stored || !area)
        return;
    if (const std::optional<QSize> size = fittedSize(*stored, area->size()))
        window->resize(*size);
}

void WindowFrameMemory::store(QWidget* window) {
    const QSize size = window->size();
    if (window->isFullScreen() || !isStorable(size))
        return;
    settingsStore().setValue(settingKey, QVariantList{size.width(), size.height()});
}

void WindowFrameMemory::centerIfAlone(QWidget* window, qint64 openDocumentCount) {
    const std::optional<QRect> area = availableArea(window);
    if (openDocumentCount > 1 || window->isFullScreen() || !area)
        return;
    window->move(centeredOrigin(window->frameGeometry().size(), *area));
}

// A two-element list reads back from the settings file as a string list, so each element is
// converted rather than its type checked.
std::optional<QSizeF> WindowFrameMemory::sizeFromSetting(const QVariant& value) {
    const QVariantList numbers = value.toList();
    if (numbers.size() != 2)
        return std::nullopt;
    const std::optional<double> width = finiteNumber(numbers[0]);
    const std::optional<double> height = finiteNumber(numbers[1]);
    if (!width || !height)
        return std::nullopt;
    return QSizeF(*width, *height);
}

std::optional<QSize> WindowFrameMemory::fittedSize(QSizeF stored, QSize available) {
    const double width = std::min(stored.width(), double(available.width()));
    const double height = std::min(stored.height(), double(available.height()));
    if (width < minimumWidth || height < minimumHeight)
        return std::nullopt;
    return QSize(int(std::round(width)), int(std::round(height)));
}

bool WindowFrameMemory::isStorable(QSize size) {
    return size.width() >= minimumWidth && size.height() >= minimumHeight;
}

QPoint WindowFrameMemory::centeredOrigin(QSize frame, QRect available) {
    const double x = available.x() + (available.width() - frame.width()) / 2.0;
    const double y = available.y() + (available.height() - frame.height()) / 2.0;
    return QPoint(int(std::round(x)), int(std::round(y)));
}
