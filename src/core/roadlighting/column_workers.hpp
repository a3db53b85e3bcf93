// Grid columns shared out among worker threads. Each column is computed by exactly
// one worker, with the same operations as in a serial loop, so results do not depend
// on the number of workers or on the order in which the columns finish.
#pragma once

#include <functional>

namespace vl {

inline constexpr int kRoadLightingWorkers = 2;

// Calls column(i) once for every i in 0..count-1, on up to `workers` threads.
void forEachColumn(int count, int workers, const std::function<void(int)>& column);

// Whether a stop raised now may write its message: always outside forEachColumn; while
// columns are shared out, only for the first stop, so that a run stopped on two threads
// at once says so once.
bool claimColumnStop();

}  // namespace vl
