// The subcommands of many runs: sweep, sweep-merge and optimise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vl {

// "sweep", "sweep-merge" or "optimise" as the first argument.
bool isSweepCommand(std::string_view firstArgument);

// Runs the subcommand arguments[0] with the arguments after it; returns the exit status
// (0 done, 1 a merge that cannot be made whole, 2 a file that cannot be read or written,
// 64 wrong options, 128 + n when signal n ended it early).
int runSweepCommand(const std::vector<std::string>& arguments);

}  // namespace vl
