// Grid columns shared out among worker threads. Each column is computed by exactly
// one worker, with the same operations as in a serial loop, so results do not depend
// on the number of workers or on the order in which the columns finish.
#pragma once

#include <atomic>
#include <functional>
#include <stdexcept>

namespace vl {

inline constexpr int kRoadLightingWorkers = 2;

// What forEachColumn throws when the run's cancel flag is set: no further column is begun.
class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error("the run was cancelled") {}
};

// While alive, forEachColumn calls made on this thread stop handing out columns once the
// flag is set and then throw RunCancelled. The evaluation sets it for its own thread only.
class ColumnCancelScope {
public:
    explicit ColumnCancelScope(const std::atomic<bool>* cancel);
    ~ColumnCancelScope();
    ColumnCancelScope(const ColumnCancelScope&) = delete;
    ColumnCancelScope& operator=(const ColumnCancelScope&) = delete;

private:
    const std::atomic<bool>* previous_;
};

// Calls column(i) once for every i in 0..count-1, on up to `workers` threads. An
// exception thrown by a column ends the handing out of columns and is rethrown here once
// every worker has stopped; so does a cancel flag set in a ColumnCancelScope (RunCancelled).
void forEachColumn(int count, int workers, const std::function<void(int)>& column);

}  // namespace vl
