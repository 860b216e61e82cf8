#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// What a touchpad's two-finger scroll does on the canvas.
enum class ScrollZoomBehavior { scrollPans, scrollZooms };

namespace ScrollZoomBehaviors {

inline const QList<ScrollZoomBehavior> all = {ScrollZoomBehavior::scrollPans,
                                              ScrollZoomBehavior::scrollZooms};

inline QString rawValue(ScrollZoomBehavior behavior) {
    return behavior == ScrollZoomBehavior::scrollZooms ? QStringLiteral("scrollZooms")
                                                       : QStringLiteral("scrollPans");
}

// Exactly "scrollZooms" zooms; anything else pans.
inline ScrollZoomBehavior fromRawValue(const QString& raw) {
    return raw == QLatin1String("scrollZooms") ? ScrollZoomBehavior::scrollZooms
                                               : ScrollZoomBehavior::scrollPans;
}

inline QString title(ScrollZoomBehavior behavior) {
    return behavior == ScrollZoomBehavior::scrollZooms
               ? QCoreApplication::translate("ScrollZoomBehavior", "Scroll to Zoom")
               : QCoreApplication::translate("ScrollZoomBehavior", "Scroll to Pan, Pinch to Zoom");
}

} // namespace ScrollZoomBehaviors
