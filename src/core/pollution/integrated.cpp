// Upward flux ratios and uplight densities.
#include <cstddef>

#include "core/numeric/degrees.hpp"
#include "core/pollution/pollution.hpp"

namespace vl {

double roadUpwardFlux(const PollutionInputs& in, double meanL) {
    const PhotometryTable& ph = in.photometry;
    const InstallationData& s = in.installation;
    const double straightUp = meanL * s.roadWidth * s.spacing / (s.lampFlux * s.maintenanceFactor);

    bool reachesUpperHalf = false;
    for (double g : ph.gammaAngles) reachesUpperHalf = reachesUpperHalf || g > 90.0;

    double flux = 0.0;
    for (int m = 0; m < ph.gammaCount; ++m) {
        const double gammaM = ph.gammaAngles[static_cast<std::size_t>(m)];
        const double dGamma = gammaWidth(ph, m);
        // Without upper cells of its own the photometry lends the mirror images of its lower
        // cells: the band around 180 - gamma has the solid angle of the band around gamma.
        const double gamma = reachesUpperHalf ? gammaM : 180.0 - gammaM;
        const bool inUpperCells =
            reachesUpperHalf ? (gammaM > 90.0 && gammaM <= 180.0) : (gammaM >= 0.0 && gammaM < 90.0);
        if (!inUpperCells) continue;
        // The band's cosines and the road's intensity depend on gamma alone.
        const bool zenith = gamma == 180.0;
        const double cosines =
            zenith ? bandCosines(180.0 - dGamma / 2.0, 180.0) : bandCosines(gamma - dGamma / 2.0, gamma + dGamma / 2.0);
        const double intensity =
            zenith ? 0.0 : sind(gamma - 90.0) * meanL * s.roadWidth * s.spacing / (s.maintenanceFactor * s.lampFlux);
        for (int l = 0; l < ph.cCount - 1; ++l) {
            const double dC = cWidth(ph, l);
            if (zenith) {
                flux += bandSolidAngleOf(dC, cosines) * straightUp;
            } else {
                flux += bandSolidAngleOf(dC, cosines) * intensity;
            }
        }
    }
    return flux;
}

IntegratedPollution computeIntegratedPollution(const PollutionInputs& in, const DirectionalPollution& directional,
                                               const RoadLightingResult& road, const AgedAsphaltCurve& agedAsphalt) {
    IntegratedPollution r;
    const InstallationData& s = in.installation;
    if (s.tilt != 0.0 && in.photometry.lastGamma() < 180.0) return r;
    r.computed = true;

    const EmissionData& em = in.emission;
    const double lorl = em.lightOutputRatio;
    const double lor = lorl / 100.0;
    const double dff = em.downwardFluxFactor;
    const double uff = em.upwardFluxFactor;
    const double wasted = road.energy.fluxUse.wastedDownwardFluxPercent;

    r.directUpwardFluxRatio = uff;
    r.roadReflectedRatio = roadUpwardFlux(in, directional.meanLuminance) / 10.0 * 100.0 / lorl * roadUpwardFactor();
    r.roadReflectedRatioAgedAsphalt = road.agedAsphaltReflectedPercent * agedAsphalt.agedAsphaltFactor / lorl;

    r.roadReflectedPercent = r.roadReflectedRatio * lorl;
    const double rrRatio = r.roadReflectedPercent / lorl;
    r.outOfRoadReflectedRatio = wasted * 0.135 * dff / 100.0;
    r.directIncreasePercent = uff / rrRatio * 100.0;
    r.outOfRoadIncreasePercent = wasted * 13.5 * dff / 100.0 / rrRatio;

    const double phi = s.lampFlux;
    const double w = s.roadWidth;
    const double sp = s.spacing;
    r.directUplightDensity = (100.0 - dff) * lor * 10.0 * phi / (w * sp);
    r.roadAndDirectUplightDensity = (uff * lorl + r.roadReflectedPercent) * 10.0 * phi / (w * 100.0 * sp);
    r.outOfRoadUplightDensity = lorl * r.outOfRoadReflectedRatio * 10.0 * phi / (w * 100.0 * sp);
    r.roadUplightDensity = r.roadAndDirectUplightDensity - r.directUplightDensity;
    r.densityDirectIncreasePercent = r.directUplightDensity / r.roadUplightDensity * 100.0;
    r.densityOutOfRoadIncreasePercent = r.outOfRoadUplightDensity / r.roadUplightDensity * 100.0;
    return r;
}

}  // namespace vl
