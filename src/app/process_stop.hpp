// Stopping the process from inside a phase.
//
// A phase either completes or stops the process. A stop unwinds to the entry point
// (so that open files are flushed and closed as far as they were written and the
// terminal can be restored), which then ends the process with the stop's status.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vl {

struct ProcessStop {
    int status = 0;
    // Text for standard error (run-time read and file errors); empty for the program's
    // own stops, whose message has already gone to the Console.
    std::string errorMessage;
    // The Console message of the program's own stops, kept so that a terminal form can
    // show it again once the terminal has been restored.
    std::string consoleMessage;
};

// The program's own stop: the list line goes to the Console, then the process ends (status 1).
[[noreturn]] void stopWithConsoleMessage(std::string_view text);

// A run-time read or file error: names the file and the kind of failure (status 2).
[[noreturn]] void stopWithFileError(std::string_view fileName, std::string_view kind);

// The designed end of a run without a message (status 0).
[[noreturn]] void stopQuietly();

// Runs one step of a run: a reader's refusal becomes the program's own stop (its Console
// line, status 1), a read error a stop naming the file (status 2).
void asRunStep(const std::function<void()>& step);

}  // namespace vl
