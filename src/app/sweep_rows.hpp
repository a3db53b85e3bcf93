// The columns of a sweep's table and the cells of one row.
#pragma once

#include <string>
#include <vector>

#include "app/sweep.hpp"
#include "writers/table_files.hpp"

namespace vl::sweep {

// index, outcome, reason, the ten inputs, the key figures and, with an assessment, its
// columns (pass or fail and margin of each requirement of a chosen class, or the highest
// class of each series; the edge illuminance ratio, D_P and D_E).
std::vector<std::string> rowColumns(const SweepSettings& settings);

// The cells of a row under rowColumns(settings); the index is written from 1.
std::vector<TableCell> rowCells(const SweepSettings& settings, const Row& row);

}  // namespace vl::sweep
