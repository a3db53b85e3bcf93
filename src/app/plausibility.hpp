// Inputs that no real installation has: warnings only, the run goes on as it is.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/computation_state.hpp"

namespace vl {

// The warnings of one installation; record is the grid record of its choice when known.
std::vector<std::string> plausibilityWarnings(const InstallationData& data, const GridChoice* record);

// The warnings of the installation and of its grid record when grid.dat holds it (read
// only when it exists; nothing is created and the process never stops here).
std::vector<std::string> installationWarnings(const InstallationData& data);

// Writes the warnings of the installation (and of its grid record, when grid.dat holds it)
// through the warning sink. Reads grid.dat only when it exists and never stops the process.
void warnImplausibleInputs(const InstallationData& data);

// Where warnings go: standard error unless replaced (the terminal form shows them itself).
void setWarningSink(std::function<void(std::string_view)> sink);
void writeWarning(std::string_view text);

}  // namespace vl
