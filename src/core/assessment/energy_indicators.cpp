#include "core/assessment/energy_indicators.hpp"

#include <cmath>
#include <limits>

namespace vl::assessment {

std::vector<SubArea> spacingSubAreas(double spacing, double roadWidth, double roadIlluminance,
                                     const EdgeStripResult& strips) {
    const double stripArea = strips.stripWidth * spacing;
    return {
        {"road", roadWidth * spacing, roadIlluminance},
        {"strip outside the edge y = 0", stripArea, strips.edges[0].outsideAverage},
        {"strip outside the edge y = W", stripArea, strips.edges[1].outsideAverage},
    };
}

EnergyIndicators computeEnergyIndicators(const EnergyInputs& in) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EnergyIndicators out;
    out.subAreas = in.subAreas;
    out.profile = in.profile;
    auto& notes = out.assumptions;

    notes.push_back(
        "one luminaire per spacing: power, areas and illuminances are those of one spacing of the row");
    notes.push_back(
        "areas: the road over one spacing and the strip just outside each road edge (the strips of the "
        "edge illuminance ratio); the strips just inside the edges lie on the road and count once");
    notes.push_back("illuminances: average maintained horizontal illuminance of each area");

    // System power per luminaire.
    if (in.power.has_value()) {
        out.powerSource = PowerSource::Override;
        out.systemPower = *in.power;
        out.lampEfficacy = in.lampFlux * 1000.0 / out.systemPower;
        notes.push_back("system power per luminaire: given on the command line (--power)");
    } else {
        out.powerSource = PowerSource::Declared;
        if (in.declaredWattage > 0.0 && in.declaredFlux > 0.0) {
            // The declared lamp set scaled to the installation's lamp flux at its own efficacy,
            // as the report's energy section does.
            out.systemPower = in.declaredWattage / in.declaredFlux * 1000.0 * in.lampFlux;
            out.lampEfficacy = in.declaredFlux / in.declaredWattage;
        } else {
            out.systemPower = nan;
            out.lampEfficacy = nan;
            out.problems.push_back(
                "the photometry declares no usable lamp wattage or flux: give the system power with --power");
        }
        notes.push_back(
            "system power per luminaire: the photometry's declared lamp set wattage (ballast included), "
            "scaled to the installation's lamp flux at the declared efficacy");
    }
    out.efficacyImplausible = !(out.lampEfficacy >= kPlausibleEfficacyLow && out.lampEfficacy <= kPlausibleEfficacyHigh);
    notes.push_back("no additional power (standby, controls) outside the operating hours");

    // D_P at full power.
    for (const SubArea& a : in.subAreas) {
        out.totalArea = out.totalArea + a.area;
        out.illuminatedArea = out.illuminatedArea + a.illuminance * a.area;
    }
    out.powerDensity = out.systemPower / out.illuminatedArea;
    notes.push_back("D_P at full power");
    if (!(out.illuminatedArea > 0.0) || !std::isfinite(out.illuminatedArea)) {
        out.problems.push_back("no illuminance on the areas (sum of E_i * A_i is not above 0): D_P is undefined");
    }

    // D_E over the operating profile.
    for (const OperatingPeriod& p : in.profile.periods) {
        out.fullPowerHours = out.fullPowerHours + p.hours * p.percentOfFullPower / 100.0;
    }
    out.annualEnergy = out.systemPower * out.fullPowerHours;
    out.annualEnergyConsumption = out.annualEnergy / out.totalArea;
    if (in.profile.byDefault) {
        notes.push_back("operating profile: none given, the default of 4000 h a year at full power");
    } else if (in.profile.fromHours) {
        notes.push_back("operating profile: hours a year at full power (--hours)");
    } else {
        notes.push_back(
            "operating profile: hours a year at a percent of full power (--profile); the power drawn is that "
            "percent of the system power");
    }
    notes.push_back("D_E area A: the same areas as D_P");
    if (!(out.totalArea > 0.0) || !std::isfinite(out.totalArea)) {
        out.problems.push_back("the lit area is not above 0: D_E is undefined");
    }
    return out;
}

}  // namespace vl::assessment
