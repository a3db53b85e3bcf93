// The road lighting classes of EN 13201-2 as data: series M (luminance), C (illuminance
// of conflict areas) and P (illuminance of pedestrian and low-speed areas).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vl::assessment {

enum class Series { M, C, P };

enum class Quantity {
    AverageLuminance,       // maintained average road luminance L, cd/m^2
    LuminanceUniformity,    // overall uniformity U0 = Lmin / Lave
    LengthwiseUniformity,   // UL, along the line of the observer
    ThresholdIncrement,     // TI, %
    EdgeIlluminanceRatio,   // R_EI, outside strip over inside strip
    AverageIlluminance,     // maintained average horizontal illuminance, lx
    IlluminanceUniformity,  // U0 = Emin / Eave
    MinimumIlluminance,     // maintained minimum horizontal illuminance, lx
};

enum class Bound { Minimum, Maximum };  // the figure must be at least / at most the value

struct Requirement {
    Quantity quantity;
    Bound bound;
    double value;
};

struct LightingClass {
    std::string_view name;
    Series series;
    std::size_t count;  // requirements in use
    std::array<Requirement, 5> requirements;

    std::span<const Requirement> list() const { return {requirements.data(), count}; }
};

// Where the numbers of the tables come from.
inline constexpr std::string_view kClassTableSource =
    "EN 13201-2:2015 (road lighting performance requirements), Table 1 (M), Table 2 (C), Table 3 (P)";

// Every class, each series from its highest class (M1, C0, P1) to its lowest.
std::span<const LightingClass> lightingClasses();

// The classes of one series, highest first.
std::span<const LightingClass> seriesClasses(Series series);

// The class of that name (upper or lower case), or nothing.
const LightingClass* findLightingClass(std::string_view name);

// "M1 M2 ... P6", for messages.
std::string lightingClassNames();

std::string_view seriesName(Series series);      // "M", "C", "P"
std::string_view quantityName(Quantity quantity);  // "average luminance L", ...
std::string_view quantityUnit(Quantity quantity);  // "cd/m^2", "lx", "%" or ""
std::string_view quantitySymbol(Quantity quantity);  // "L", "U0", "UL", "TI", "R_EI", "E", "U0", "Emin"

}  // namespace vl::assessment
