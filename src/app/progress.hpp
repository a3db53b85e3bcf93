// How far a long run is: shown on standard error when it is a terminal, or on the form's
// status line, once the run has lasted about a second; nothing otherwise. The Console
// stream is never touched.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

namespace vl {

class ProgressDisplay {
public:
    // Where a line of progress goes (a terminal's standard error, a status line); empty
    // text clears it.
    using Show = std::function<void(const std::string& text)>;

    explicit ProgressDisplay(Show show, std::chrono::milliseconds delay = std::chrono::milliseconds(1000));
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // The phase and the fraction of it done (0..1); safe from any thread: the road lighting
    // columns report from the worker that finished them. Lines are shown one at a time, so
    // `show` is never entered twice at once.
    void update(const char* phase, double fraction);

    // The text shown for a phase and fraction: "road lighting: grid passes 42 %".
    static std::string text(const char* phase, double fraction);

private:
    Show show_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::milliseconds delay_;
    std::chrono::steady_clock::time_point lastShown_{};
    std::string lastText_;
    bool shown_ = false;
    std::mutex mutex_;
};

// Progress on standard error, when standard error is a terminal (else nothing is shown).
ProgressDisplay::Show standardErrorProgress();

}  // namespace vl
