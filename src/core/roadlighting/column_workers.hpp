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

// How the caller of a grid pass steers it; everything a pass shares with its caller is here.
struct ColumnControl {
    // Set (by another thread or a signal handler): no further column is begun, and the pass
    // throws RunCancelled once the columns begun have finished.
    const std::atomic<bool>* cancel = nullptr;
    // Called as each column finishes with the fraction of the pass's columns done (0..1],
    // on the worker thread that finished it. Calls never overlap and their fractions rise;
    // the last call gives 1.
    std::function<void(double fraction)> progress;
};

// Calls column(i) once for every i in 0..count-1, on up to `workers` threads. An
// exception thrown by a column (or by the progress callback) ends the handing out of
// columns and is rethrown here once every worker has stopped; so does the cancel flag
// (RunCancelled).
void forEachColumn(int count, int workers, const ColumnControl& control, const std::function<void(int)>& column);

}  // namespace vl
