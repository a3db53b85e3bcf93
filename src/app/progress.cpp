#include "app/progress.hpp"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <utility>

namespace vl {

ProgressDisplay::ProgressDisplay(Show show, std::chrono::milliseconds delay)
    : show_(std::move(show)), start_(std::chrono::steady_clock::now()), delay_(delay) {}

ProgressDisplay::~ProgressDisplay() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (shown_ && show_) show_({});
}

std::string ProgressDisplay::text(const char* phase, double fraction) {
    if (!(fraction >= 0.0)) fraction = 0.0;
    if (fraction > 1.0) fraction = 1.0;
    return std::string(phase) + " " + std::to_string(static_cast<int>(std::floor(fraction * 100.0))) + " %";
}

void ProgressDisplay::update(const char* phase, double fraction) {
    if (!show_) return;
    const auto now = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (now - start_ < delay_) return;
    // A few updates a second are enough to read.
    if (shown_ && now - lastShown_ < std::chrono::milliseconds(100)) return;
    std::string line = text(phase, fraction);
    if (line == lastText_) return;
    show_(line);
    lastText_ = std::move(line);
    lastShown_ = now;
    shown_ = true;
}

ProgressDisplay::Show standardErrorProgress() {
    if (isatty(STDERR_FILENO) == 0) return {};
    return [](const std::string& text) {
        // One line, rewritten in place; cleared at the end.
        std::fprintf(stderr, "\r\033[K%s", text.empty() ? "" : ("vesperluminal: " + text).c_str());
        std::fflush(stderr);
    };
}

}  // namespace vl
