// The record numbers that a grid file holds, read without side effects.
#pragma once

#include <string>
#include <vector>

#include "app/computation_state.hpp"

namespace vl {

// Every whole record of the file in order (a missing or unreadable file gives none; the
// records before a damaged one are kept). The file is never created.
std::vector<GridChoice> peekGridRecords(const std::string& fileName);

// "1, 2, 3" (or "none").
std::string recordNumberList(const std::vector<GridChoice>& records);

}  // namespace vl
