#include "CanvasZoom.h"

#include "AppSettings.h"
#include "CanvasGeometry.h"

#include <QApplication>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr double sameZoomTolerance = 0.0001;
// View points one wheel line pans by; a notch pans by the desktop's lines per notch.
constexpr double wheelLine = 20.0;
constexpr int wheelNotch = 120;

} // namespace

bool CanvasZoom::setZoom(double zoom, std::optional<QPointF> focus, QSizeF bounds) {
    if (std::isnan(zoom))
        return false;
    const double target = CanvasGeometry::clampedZoom(zoom);
    const double current = view.zoom();
    if (std::abs(target - current) <= sameZoomTolerance)
        return false;
    if (focus) {
        const Sprite& sprite = document.sprite();
        const QPointF origin = CanvasGeometry::canvasOrigin(bounds, sprite.width, sprite.height,
                                                            current, view.panOffset());
        view.setPanOffset(CanvasGeometry::panKeeping(*focus, origin, current, target, bounds,
                                                     sprite.width, sprite.height));
    }
    view.setZoomFactor(target);
    return true;
}

void CanvasZoom::fit(QSizeF bounds) {
    const Sprite& sprite = document.sprite();
    const auto zoom = CanvasGeometry::fitZoom(bounds, sprite.width, sprite.height);
    if (!zoom)
        return;
    view.setZoomFactor(*zoom);
    view.setPanOffset({0, 0});
}

void CanvasZoom::perform(EditorViewState::ZoomIntent intent, QPointF focus, QSizeF bounds) {
    const double zoom = view.zoom();
    switch (intent) {
    case EditorViewState::ZoomIntent::zoomIn:
        setZoom(CanvasGeometry::stepUp(zoom), focus, bounds);
        break;
    case EditorViewState::ZoomIntent::zoomOut:
        setZoom(CanvasGeometry::stepDown(zoom), focus, bounds);
        break;
    case EditorViewState::ZoomIntent::actualSize:
        setZoom(1, focus, bounds);
        break;
    case EditorViewState::ZoomIntent::fit:
        fit(bounds);
        break;
    case EditorViewState::ZoomIntent::center:
        view.setPanOffset({0, 0});
        break;
    }
}

void CanvasZoom::scroll(const QWheelEvent& event, QSizeF bounds) {
    const AppSettings& settings = AppSettings::shared();
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);
    const bool optionZoom = settings.optionScrollZooms() && alt;
    const bool precise = !event.pixelDelta().isNull();
    const QPointF delta = precise ? QPointF(event.pixelDelta()) : QPointF(event.angleDelta());
    // X11 turns Alt + wheel into a horizontal wheel, so the vertical turn arrives as x.
    const double vertical = alt && delta.y() == 0 ? delta.x() : delta.y();
    const double zoomDelta = CanvasGeometry::zoomDelta(vertical, event.inverted());
    const QPointF focus = event.position();
    if (!precise && (settings.mouseWheelZooms() || optionZoom)) {
        if (vertical != 0)
            setZoom(zoomDelta > 0 ? CanvasGeometry::stepUp(view.zoom())
                                  : CanvasGeometry::stepDown(view.zoom()),
                    focus, bounds);
    } else if (precise &&
               (settings.scrollBehavior() == ScrollZoomBehavior::scrollZooms || optionZoom)) {
        if (const auto factor = CanvasGeometry::scrollZoomFactor(zoomDelta))
            setZoom(view.zoom() * *factor, focus, bounds);
    } else {
        const double notchPan = wheelLine * QApplication::wheelScrollLines() / wheelNotch;
        panBy(precise ? delta : delta * notchPan);
    }
}

void CanvasZoom::pinch(double magnification, QPointF focus, QSizeF bounds) {
    if (const auto factor = CanvasGeometry::pinchZoomFactor(magnification))
        setZoom(view.zoom() * *factor, focus, bounds);
}

void CanvasZoom::panBy(QPointF delta) {
    const QSizeF pan = view.panOffset();
    view.setPanOffset({pan.width() + delta.x(), pan.height() + delta.y()});
}
