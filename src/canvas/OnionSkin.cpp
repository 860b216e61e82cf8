#include "OnionSkin.h"

#include "settings/AppSettings.h"

#include <algorithm>
#include <cmath>

QList<qint64> OnionSkin::offsets() const {
    QList<qint64> result;
    for (qint64 o = 1; o <= framesBefore; ++o)
        result.append(-o);
    for (qint64 o = 1; o <= framesAfter; ++o)
        result.append(o);
    std::stable_sort(result.begin(), result.end(),
                     [](qint64 a, qint64 b) { return std::abs(a) > std::abs(b); });
    return result;
}

OnionSkin OnionSkin::current() {
    const AppSettings& settings = AppSettings::shared();
    const double opacity = settings.onionSkinOpacity();
    return {std::clamp<qint64>(settings.onionSkinFramesBefore(), 0, maximumFrames),
            std::clamp<qint64>(settings.onionSkinFramesAfter(), 0, maximumFrames),
            std::isnan(opacity) ? 0.0 : std::clamp(opacity, 0.0, 1.0)};
}
