#include "OnionSkin.h"

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

OnionSkin OnionSkin::bounded(qint64 framesBefore, qint64 framesAfter, double opacity) {
    return {std::clamp<qint64>(framesBefore, 0, maximumFrames),
            std::clamp<qint64>(framesAfter, 0, maximumFrames),
            std::isnan(opacity) ? 0.0 : std::clamp(opacity, 0.0, 1.0)};
}
