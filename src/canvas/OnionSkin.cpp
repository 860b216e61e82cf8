#include "OnionSkin.h"

#include "settings/AppSettings.h"

#include <algorithm>

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
    // A hand-edited store may hold anything; keep to what the settings window offers.
    const AppSettings& settings = AppSettings::shared();
    return {std::clamp<qint64>(settings.onionSkinFramesBefore(), 0, maximumFrames),
            std::clamp<qint64>(settings.onionSkinFramesAfter(), 0, maximumFrames),
            std::clamp(settings.onionSkinOpacity(), 0.0, 1.0)};
}
