#pragma once

#include <QtGlobal>
#include <functional>

// Told after each step of a long export: steps done so far, out of total. Called on the thread
// that runs the export; an empty function is never called.
using ExportProgress = std::function<void(qint64 done, qint64 total)>;

inline void reportProgress(const ExportProgress& progress, qint64 done, qint64 total) {
    if (progress)
        progress(done, total);
}
