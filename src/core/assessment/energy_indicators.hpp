// The energy performance indicators of EN 13201-5 for one luminaire row, evaluated over
// one spacing (one luminaire): the power density indicator D_P and the annual energy
// consumption indicator D_E, with every assumption they rest on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/roadlighting/edge_strips.hpp"

namespace vl::assessment {

inline constexpr double kHoursPerYear = 8760.0;
inline constexpr double kDefaultAnnualHours = 4000.0;
inline constexpr double kPlausibleEfficacyLow = 20.0;    // lm/W
inline constexpr double kPlausibleEfficacyHigh = 250.0;  // lm/W

// A part of the lit area with its average maintained horizontal illuminance.
struct SubArea {
    std::string name;
    double area = 0;         // m^2
    double illuminance = 0;  // lx
};

// Hours a year at a share of the full power.
struct OperatingPeriod {
    double hours = 0;
    double percentOfFullPower = 100;
};

struct OperatingProfile {
    OperatingProfile() : periods(1, OperatingPeriod{kDefaultAnnualHours, 100.0}) {}

    std::vector<OperatingPeriod> periods;
    bool fromHours = true;  // a single period at full power (--hours or the default)
    bool byDefault = true;  // nothing was given: 4000 h a year at full power
};

struct EnergyInputs {
    std::vector<SubArea> subAreas;  // one spacing
    double lampFlux = 0;            // klm, the installation's lamp flux per luminaire
    double declaredWattage = 0;     // W, the photometry's lamp set (ballast included)
    double declaredFlux = 0;        // lm, the same lamp set's flux
    std::optional<double> power;    // W per luminaire, overriding the declared wattage
    OperatingProfile profile;
};

enum class PowerSource { Declared, Override };

struct EnergyIndicators {
    std::vector<SubArea> subAreas;
    double totalArea = 0;             // m^2, A of D_E
    double illuminatedArea = 0;       // sum of E_i * A_i, lx m^2
    double systemPower = 0;           // W per luminaire
    PowerSource powerSource = PowerSource::Declared;
    double lampEfficacy = 0;          // lm/W: lamp flux over the system power
    bool efficacyImplausible = false;  // under 20 or over 250 lm/W (or not finite)
    OperatingProfile profile;
    double fullPowerHours = 0;        // sum of t_j * percent_j / 100
    double annualEnergy = 0;          // Wh per luminaire and year, sum of P_j * t_j
    double powerDensity = 0;          // D_P, W/(lx m^2)
    double annualEnergyConsumption = 0;  // D_E, Wh/m^2 per year
    std::vector<std::string> assumptions;  // printed beside the numbers
    std::vector<std::string> problems;     // why a figure is not finite; empty when all are
};

// The sub-areas of one spacing S: the road (W * S, average Ē of the road grid) and the
// strip just outside each edge (w * S, its average), as the edge strips found them.
std::vector<SubArea> spacingSubAreas(double spacing, double roadWidth, double roadIlluminance,
                                     const EdgeStripResult& strips);

EnergyIndicators computeEnergyIndicators(const EnergyInputs& inputs);

}  // namespace vl::assessment
