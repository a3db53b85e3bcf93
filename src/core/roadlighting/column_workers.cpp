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

std::atomic<bool> sharing{false};
std::atomic<bool> stopClaimed{false};

}  // namespace

bool claimColumnStop() { return !sharing.load() || !stopClaimed.exchange(true); }

void forEachColumn(int count, int workers, const std::function<void(int)>& column) {
    const int threads = std::min(std::max(workers, 1), std::max(count, 1));
    if (threads <= 1) {
        for (int i = 0; i < count; ++i) column(i);
        return;
    }
    std::atomic<int> next{0};
    // A column that stops the run (an exception) ends the sharing: the other workers finish
    // the column they hold, and the first stop goes on from the calling thread.
    std::mutex failureMutex;
    std::exception_ptr failure;
    auto work = [&]() {
        try {
            for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) column(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure) failure = std::current_exception();
            next.store(count);
        }
    };
    stopClaimed.store(false);
    sharing.store(true);
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads - 1));
    // A worker that cannot be started leaves its columns to the others.
    try {
        for (int w = 1; w < threads; ++w) pool.emplace_back(work);
    } catch (const std::system_error&) {
    }
    work();
    for (std::thread& t : pool) t.join();
    sharing.store(false);
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vl
