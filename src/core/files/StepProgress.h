#pragma once

#include <QtGlobal>
#include <functional>

// Told after each step of a long export or save: steps done so far, out of total. Called on
// the threads doing the work; an empty function is never called.
using StepProgress = std::function<void(qint64 done, qint64 total)>;

inline void reportProgress(const StepProgress& progress, qint64 done, qint64 total) {
    if (progress)
        progress(done, total);
}
