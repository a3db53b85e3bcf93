// Grid columns shared out among worker threads. Each column is computed by exactly
// one worker, with the same operations as in a serial loop, so results do not depend
// on the number of workers or on the order in which the columns finish.
#pragma once

#include <functional>

namespace vl {

inline constexpr int kRoadLightingWorkers = 2;

// Calls column(i) once for every i in 0..count-1, on up to `workers` threads. An
// exception thrown by a column ends the handing out of columns and is rethrown here once
// every worker has stopped.
void forEachColumn(int count, int workers, const std::function<void(int)>& column);

}  // namespace vl
