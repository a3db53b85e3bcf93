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

thread_local const std::atomic<bool>* columnCancel = nullptr;

bool cancelled(const std::atomic<bool>* flag) { return flag != nullptr && flag->load(std::memory_order_relaxed); }

}  // namespace

ColumnCancelScope::ColumnCancelScope(const std::atomic<bool>* cancel) : previous_(columnCancel) {
    columnCancel = cancel;
}

ColumnCancelScope::~ColumnCancelScope() { columnCancel = previous_; }

void forEachColumn(int count, int workers, const std::function<void(int)>& column) {
    const std::atomic<bool>* const cancel = columnCancel;
    const int threads = std::min(std::max(workers, 1), std::max(count, 1));
    if (threads <= 1) {
        for (int i = 0; i < count; ++i) {
            if (cancelled(cancel)) throw RunCancelled();
            column(i);
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
                if (cancelled(cancel)) throw RunCancelled();
                column(i);
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
