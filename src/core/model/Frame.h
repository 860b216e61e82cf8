#pragma once

#include <QtGlobal>

// One animation frame; its duration in milliseconds drives playback and animated exports.
struct Frame {
    static constexpr qint64 defaultDuration = 100;
    static constexpr qint64 minimumDuration = 10;

    qint64 duration = defaultDuration;

    friend constexpr bool operator==(const Frame& a, const Frame& b) = default;
};
