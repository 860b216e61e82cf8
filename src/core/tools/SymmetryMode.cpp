#include "SymmetryMode.h"

#include <QCoreApplication>

namespace {

struct ModeInfo {
    const char* raw;
    const char* title;
    const char* systemImage;
};

const ModeInfo& info(SymmetryMode mode) {
    static const ModeInfo table[] = {
        {"off", QT_TRANSLATE_NOOP("SymmetryMode", "Off"), "nosign"},
        {"leftRight", QT_TRANSLATE_NOOP("SymmetryMode", "Left\u2013right"), "square.split.2x1"},
        {"topBottom", QT_TRANSLATE_NOOP("SymmetryMode", "Top\u2013bottom"), "square.split.1x2"},
        {"both", QT_TRANSLATE_NOOP("SymmetryMode", "Both"), "square.split.2x2"},
        {"diagonal", QT_TRANSLATE_NOOP("SymmetryMode", "Diagonal \u2198"), "square.split.diagonal"},
        {"antiDiagonal", QT_TRANSLATE_NOOP("SymmetryMode", "Diagonal \u2197"),
         "square.split.antidiagonal"},
    };
    return table[int(mode)];
}

// Rounds toward negative infinity, which plain integer division does not do for negatives.
qint64 floorHalf(qint64 value) {
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

} // namespace

namespace SymmetryModes {

const QList<SymmetryMode> all = {SymmetryMode::off,       SymmetryMode::leftRight,
                                 SymmetryMode::topBottom, SymmetryMode::both,
                                 SymmetryMode::diagonal,  SymmetryMode::antiDiagonal};

QString rawValue(SymmetryMode mode) {
    return QLatin1String(info(mode).raw);
}

std::optional<SymmetryMode> fromRawValue(const QString& raw) {
    for (SymmetryMode mode : all) {
        if (raw == QLatin1String(info(mode).raw))
            return mode;
    }
    return std::nullopt;
}

QString title(SymmetryMode mode) {
    return QCoreApplication::translate("SymmetryMode", info(mode).title);
}

QString systemImage(SymmetryMode mode) {
    return QLatin1String(info(mode).systemImage);
}

bool mirrorsHorizontally(SymmetryMode mode) {
    return mode == SymmetryMode::leftRight || mode == SymmetryMode::both;
}

bool mirrorsVertically(SymmetryMode mode) {
    return mode == SymmetryMode::topBottom || mode == SymmetryMode::both;
}

bool isDiagonal(SymmetryMode mode) {
    return mode == SymmetryMode::diagonal || mode == SymmetryMode::antiDiagonal;
}

Reflections reflections(SymmetryMode mode, PixelPoint p, const PixelRect& rect) {
    Reflections result;
    if (mode == SymmetryMode::off)
        return result;
    // Twice the centre line's coordinate, so odd and even sizes stay in integers.
    const qint64 spanX = 2 * rect.x + rect.width - 1;
    const qint64 spanY = 2 * rect.y + rect.height - 1;
    const auto add = [&](PixelPoint candidate) {
        if (candidate == p || !rect.contains(candidate) || result.contains(candidate))
            return;
        result.append(candidate);
    };
    if (mirrorsHorizontally(mode))
        add({spanX - p.x, p.y});
    if (mirrorsVertically(mode))
        add({p.x, spanY - p.y});
    if (mode == SymmetryMode::both)
        add({spanX - p.x, spanY - p.y});
    if (mode == SymmetryMode::diagonal) {
        const qint64 d = spanX - spanY;
        add({floorHalf(2 * p.y + d), floorHalf(2 * p.x - d)});
    }
    if (mode == SymmetryMode::antiDiagonal) {
        const qint64 s = spanX + spanY;
        add({floorHalf(s - 2 * p.y), floorHalf(s - 2 * p.x)});
    }
    return result;
}

} // namespace SymmetryModes
