// The maps and tables of a run in the DataFile.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/run/run.hpp"

namespace vl {

// Tables 1 to 11 on the DataFile, then closes the ReportFile.
void writeDataTables(const RunInputs& inputs, const RunResult& result);

// Axis line(s) of a map: '  y/x     ' and up to 100 F7.2 values per line.
std::vector<std::string> mapAxisLines(const std::vector<double>& x);
// Row line(s) of a map in the layout (F7.2, F10.2, 99F7.2): y and the values; after 101
// fields the layout starts again on a new line that holds the further values.
std::vector<std::string> mapRowLines(double y, const std::vector<double>& values);
// One whole map (blank line, titles, axis, blank line, rows from the far edge down).
void writeMapTable(std::initializer_list<std::string_view> titles, const GridMap& map, bool singlePrecision,
                   const ComputationGrid& grid, const InstallationData& installation);
// (F10.2, F15.2, F15.2).
std::string listingRow(double a, double b, double c);

}  // namespace vl
