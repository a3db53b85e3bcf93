#include "core/roadlighting/summary.hpp"

namespace vl {

FluxUse computeFluxUse(double averageIlluminance, const RoadInstallation& road, const EmissionData& emission) {
    FluxUse use;
    use.utilizationFactor = averageIlluminance * road.roadWidth * road.spacing /
                            (road.maintenanceFactor * road.lampFlux * 1000.0);
    use.usedLuminaireFluxPercent = use.utilizationFactor * 100.0 * 100.0 / emission.lightOutputRatio;
    use.wastedDownwardFluxPercent =
        (emission.downwardFluxFactor - use.usedLuminaireFluxPercent) * 100.0 / emission.downwardFluxFactor;
    return use;
}

bool photometryIncompleteForTilt(double tilt, const PhotometryTable& photometry) {
    return tilt != 0.0 && !photometry.gammaAngles.empty() && photometry.gammaAngles.back() < 180.0;
}

EnergyFigures computeEnergyFigures(const RoadLightingResult& result, const RoadInstallation& road,
                                   const EmissionData& emission, const PhotometryTable& photometry,
                                   const LampSet& lamp) {
    EnergyFigures e;
    e.fluxUse = computeFluxUse(result.horizontalIlluminanceStats.average, road, emission);
    e.incompleteForTilt = photometryIncompleteForTilt(road.tilt, photometry);
    const double used = e.fluxUse.usedLuminaireFluxPercent;
    e.wastedLuminaireFluxPercent = 100.0 - used;
    e.usedDownwardFluxPercent = used * 100.0 / emission.downwardFluxFactor;

    const double flux = road.lampFlux;
    const double q = road.maintenanceFactor;
    const double w = road.roadWidth;
    const double s = road.spacing;
    e.luminairesPerKm = 1000.0 / s;
    e.fluxPerLength = flux * 1000.0 / s;
    e.fluxPerArea = flux * 1000.0 / (w * s);

    const double m = (result.luminanceObserver1Stats.average + result.luminanceObserver2Stats.average) / 2.0;
    e.initialFluxPerLengthPerLuminance = q * flux * 1000.0 / s / m;
    e.maintainedFluxPerLengthPerLuminance = flux * 1000.0 / s / m;
    e.initialPhotometricEfficacy = q * flux * 1000.0 / (w * s) / m;
    e.maintainedPhotometricEfficacy = flux * 1000.0 / (w * s) / m;

    const double power = lamp.wattage / lamp.totalFlux * 1000.0 * flux;
    e.powerPerLengthPerLuminance = power / s / m;
    e.energeticEfficacy = power / (w * s) / m;
    e.lamp = lamp;
    e.lampEfficacy = lamp.totalFlux / lamp.wattage;
    return e;
}

}  // namespace vl
