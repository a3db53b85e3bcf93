// Ending a run early on SIGINT or SIGTERM: the signal only sets a flag; the computation and
// the driver look at it at their safe points, so that every file of the run that exists
// says how far the run got.
#pragma once

#include <atomic>
#include <string>

namespace vl {

// Set by the first SIGINT or SIGTERM; given to evaluate() as its cancel flag.
const std::atomic<bool>& interruptFlag();
bool interrupted();
// "SIGINT", "SIGTERM" (or "signal N").
std::string interruptName();
// 128 + the signal.
int interruptStatus();

// --batch and --run: the first SIGINT or SIGTERM sets the flag; a second one ends the
// process at once, as signals always did.
void installInterruptHandlers();

// While one is alive, the terminal form's signal handler leaves the stop to the flag (see
// deferInterrupt): a run or a write of the installation file is in progress.
class InterruptibleWork {
public:
    InterruptibleWork();
    ~InterruptibleWork();
    InterruptibleWork(const InterruptibleWork&) = delete;
    InterruptibleWork& operator=(const InterruptibleWork&) = delete;
};
// For a signal handler (async-signal-safe): while work is in progress and no signal came
// before, sets the flag and returns true; otherwise false (the handler ends the process).
bool deferInterrupt(int signal) noexcept;

// Where no file of a run is open, or all are complete: when the flag is set, the process
// stops (status 128 + signal) saying so on standard error.
void stopIfInterrupted();

// The run's report and data file (and the Console) end with a line saying that the run was
// interrupted and its results are incomplete; then the files are closed and the process
// stops with status 128 + signal.
[[noreturn]] void stopInterruptedRun();

}  // namespace vl
