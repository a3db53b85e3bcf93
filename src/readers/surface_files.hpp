// The road surface files: the reduced luminance coefficient table "SRT_" + class and the
// aged asphalt curve "asphalt1_reflectance.dat".
#pragma once

#include <array>
#include <string>

#include "core/surface/surface_table.hpp"

namespace vl {

inline constexpr const char* kAgedAsphaltFileName = "asphalt1_reflectance.dat";

struct SurfaceTableFile {
    std::string fileName;
    std::array<std::string, 4> titleLines{};  // lines 2 to 5, each the first item as read
    int titleLinesRead = 0;                   // how many of them were read
    ReducedLuminanceTable table;
};

// "SRT_" and the class as stored, trailing blanks dropped.
std::string surfaceFileName(const std::string& surfaceClass);

// Reads the table into `file`, which holds what was read when a ReadError or a Refusal
// (counts outside 2..20 and 2..29, an axis that does not ascend) leaves part way.
void readSurfaceTable(const std::string& fileName, SurfaceTableFile& file);

// Reads the aged asphalt curve; its x axis must ascend.
AgedAsphaltCurve readAgedAsphaltCurve(const std::string& fileName = kAgedAsphaltFileName);

}  // namespace vl
