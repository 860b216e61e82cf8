#pragma once

#include <QtGlobal>
#include <functional>

namespace ParallelJobs {

// Runs job(0) … job(count − 1) on all cores, the calling thread included, and returns when
// all have ended. Jobs are started in index order; once one throws no further job starts, and
// the exception of the lowest failing index is rethrown, so the outcome never depends on
// timing. Each job must write only its own results.
void run(qint64 count, const std::function<void(qint64)>& job);

} // namespace ParallelJobs
