#include "core/roadlighting/column_workers.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vl {

namespace {

bool cancelled(const std::atomic<bool>* flag) { return flag != nullptr && flag->load(std::memory_order_relaxed); }

}  // namespace

void forEachColumn(int count, int workers, const ColumnControl& control, const std::function<void(int)>& column) {
    const int threads = std::min(std::max(workers, 1), std::max(count, 1));
    std::mutex progressMutex;
    int done = 0;
    // Counted and reported under one lock, so that fractions reach the caller in order.
    auto finished = [&]() {
        if (!control.progress) return;
        const std::lock_guard<std::mutex> lock(progressMutex);
        ++done;
        control.progress(static_cast<double>(done) / static_cast<double>(count));
    };
    if (threads <= 1) {
        for (int i = 0; i < count; ++i) {
            if (cancelled(control.cancel)) throw RunCancelled();
            column(i);
            finished();
        }
        return;
    }
    std::atomic<int> next{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    // A failing column stops the handing out of columns; its exception reaches the caller.
    auto work = [&]() {
        try {
            for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
                if (cancelled(control.cancel)) throw RunCancelled();
                column(i);
                finished();
            }
        } catch (...) {
            next.store(count);
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads - 1));
    // A worker that cannot be started leaves its columns to the others.
    try {
        for (int w = 1; w < threads; ++w) pool.emplace_back(work);
    } catch (const std::system_error&) {
    }
    work();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vl
