#include "core/assessment/lighting_classes.hpp"

#include <cctype>

namespace vl::assessment {

namespace {

using enum Quantity;
constexpr Bound kMin = Bound::Minimum;
constexpr Bound kMax = Bound::Maximum;

constexpr LightingClass mClass(std::string_view name, double l, double u0, double ul, double ti, double rei) {
    return {name,
            Series::M,
            5,
            {{{AverageLuminance, kMin, l},
              {LuminanceUniformity, kMin, u0},
              {LengthwiseUniformity, kMin, ul},
              {ThresholdIncrement, kMax, ti},
              {EdgeIlluminanceRatio, kMin, rei}}}};
}

constexpr LightingClass cClass(std::string_view name, double e, double u0) {
    return {name, Series::C, 2, {{{AverageIlluminance, kMin, e}, {IlluminanceUniformity, kMin, u0}}}};
}

constexpr LightingClass pClass(std::string_view name, double e, double emin) {
    return {name, Series::P, 2, {{{AverageIlluminance, kMin, e}, {MinimumIlluminance, kMin, emin}}}};
}

// The one place the class numbers live. Every value is a maintained minimum except TI,
// a maximum.
constexpr std::array<LightingClass, 18> kClasses = {
    //     L cd/m^2  U0    UL    TI %  R_EI
    mClass("M1", 2.00, 0.40, 0.70, 10, 0.35),
    mClass("M2", 1.50, 0.40, 0.70, 10, 0.35),
    mClass("M3", 1.00, 0.40, 0.60, 15, 0.30),
    mClass("M4", 0.75, 0.40, 0.60, 15, 0.30),
    mClass("M5", 0.50, 0.35, 0.40, 15, 0.30),
    mClass("M6", 0.30, 0.35, 0.40, 20, 0.30),
    //     E lx  U0
    cClass("C0", 50, 0.40),
    cClass("C1", 30, 0.40),
    cClass("C2", 20, 0.40),
    cClass("C3", 15, 0.40),
    cClass("C4", 10, 0.40),
    cClass("C5", 7.5, 0.40),
    //     E lx  Emin lx
    pClass("P1", 15, 3.0),
    pClass("P2", 10, 2.0),
    pClass("P3", 7.5, 1.5),
    pClass("P4", 5.0, 1.0),
    pClass("P5", 3.0, 0.6),
    pClass("P6", 2.0, 0.4),
};

}  // namespace

std::span<const LightingClass> lightingClasses() { return kClasses; }

std::span<const LightingClass> seriesClasses(Series series) {
    switch (series) {
        case Series::M: return std::span<const LightingClass>(kClasses).subspan(0, 6);
        case Series::C: return std::span<const LightingClass>(kClasses).subspan(6, 6);
        case Series::P: return std::span<const LightingClass>(kClasses).subspan(12, 6);
    }
    return {};
}

const LightingClass* findLightingClass(std::string_view name) {
    if (name.size() != 2) return nullptr;
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    for (const LightingClass& c : kClasses) {
        if (c.name[0] == first && c.name[1] == name[1]) return &c;
    }
    return nullptr;
}

std::string lightingClassNames() {
    std::string names;
    for (const LightingClass& c : kClasses) {
        if (!names.empty()) names += ' ';
        names += c.name;
    }
    return names;
}

std::string_view seriesName(Series series) {
    switch (series) {
        case Series::M: return "M";
        case Series::C: return "C";
        case Series::P: return "P";
    }
    return "?";
}

std::string_view quantityName(Quantity quantity) {
    switch (quantity) {
        case AverageLuminance: return "average luminance";
        case LuminanceUniformity: return "overall uniformity";
        case LengthwiseUniformity: return "lengthwise uniformity";
        case ThresholdIncrement: return "threshold increment";
        case EdgeIlluminanceRatio: return "edge illuminance ratio";
        case AverageIlluminance: return "average illuminance";
        case IlluminanceUniformity: return "overall uniformity";
        case MinimumIlluminance: return "minimum illuminance";
    }
    return "?";
}

std::string_view quantityUnit(Quantity quantity) {
    switch (quantity) {
        case AverageLuminance: return "cd/m^2";
        case ThresholdIncrement: return "%";
        case AverageIlluminance:
        case MinimumIlluminance: return "lx";
        default: return "";
    }
}

std::string_view quantitySymbol(Quantity quantity) {
    switch (quantity) {
        case AverageLuminance: return "L";
        case LuminanceUniformity: return "U0";
        case LengthwiseUniformity: return "UL";
        case ThresholdIncrement: return "TI";
        case EdgeIlluminanceRatio: return "R_EI";
        case AverageIlluminance: return "E";
        case IlluminanceUniformity: return "U0";
        case MinimumIlluminance: return "Emin";
    }
    return "?";
}

}  // namespace vl::assessment
