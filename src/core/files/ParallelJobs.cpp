#include "ParallelJobs.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ParallelJobs {

void run(qint64 count, const std::function<void(qint64)>& job, const StepProgress& progress) {
    std::atomic<qint64> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    std::mutex progressLock;
    qint64 done = 0;
    qint64 failedIndex = count;
    std::exception_ptr error;

    const auto work = [&] {
        while (!failed.load()) {
            const qint64 index = next.fetch_add(1);
            if (index >= count)
                return;
            try {
                job(index);
                if (progress) {
                    const std::lock_guard<std::mutex> lock(progressLock);
                    progress(++done, count);
                }
            } catch (...) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (index < failedIndex) {
                    failedIndex = index;
                    error = std::current_exception();
                }
                failed.store(true);
            }
        }
    };

    const qint64 threads =
        std::min<qint64>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    for (qint64 i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // out of threads: the ones we have share the work
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace ParallelJobs
