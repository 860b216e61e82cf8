#pragma once

#include "StepProgress.h"

#include <QtGlobal>
#include <functional>

namespace ParallelJobs {

// Runs job(0) … job(count − 1) on all cores, the calling thread included, and returns when
// all have ended. Jobs are started in index order; once one throws no further job starts, and
// the exception of the lowest failing index is rethrown, so the outcome never depends on
// timing. Each job must write only its own results. progress is told after each job that
// ended well, one call at a time and counting up, on whichever thread ran the job.
void run(qint64 count, const std::function<void(qint64)>& job, const StepProgress& progress = {});

} // namespace ParallelJobs
