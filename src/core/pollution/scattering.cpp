// Hemispheric and low-angle atmospheric scattering factors.
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "core/pollution/pollution.hpp"

namespace vl {

namespace {

// Scattered fraction of a horizontal path (zenith angle 89 deg).
constexpr double kHorizontalScatter = 0.9994727543377309731;
// Solid angle (sr) of one 5 deg azimuth sector of the elevation bands 0-5, 5-15, 15-25 and
// 25-30 deg, which stand for the elevations 1, 10, 20 and 30 deg.
constexpr double kLowAngleSolidAngle[kElevations] = {0.00760577, 0.01498045, 0.01429418, 0.00675283};
constexpr double kSectorsPerRing = 72.0;

// Direct and road scattered flux over the upper hemisphere; fills the road's estimated
// photometry on the luminaire's angle grid.
void hemisphericFactors(ScatteringFactors& f, const PollutionInputs& in, const DirectionalPollution& d) {
    const PhotometryTable& ph = in.photometry;
    const InstallationData& s = in.installation;
    const int nC = ph.cCount;
    const int nG = ph.gammaCount;

    f.roadEstimatedPhotometry.assign(static_cast<std::size_t>(nC) * static_cast<std::size_t>(nG), 0.0);
    auto re = [&](int l, int m) -> double& { return f.roadEstimatedPhotometry[static_cast<std::size_t>(l + nC * m)]; };
    auto ie = [&](int l, int m) { return in.rotatedIntensity[static_cast<std::size_t>(l + nC * m)]; };

    // The road luminance towards each C plane and the C widths, the same for every gamma.
    std::vector<double> luminanceTowards;
    std::vector<double> widths;
    for (int l = 0; l < nC - 1; ++l) {
        luminanceTowards.push_back(evaluateSpline(d.azimuthDeg.data(), d.avgLuminanceByAzimuth.data(),
                                                  d.avgLuminanceSpline.data(), kDirections,
                                                  ph.cAngles[static_cast<std::size_t>(l)]));
        widths.push_back(cWidth(ph, l));
    }
    double direct = 0.0;
    double road = 0.0;
    for (int m = 0; m < nG; ++m) {
        const double gamma = ph.gammaAngles[static_cast<std::size_t>(m)];
        const double dGamma = gammaWidth(ph, m);
        // What depends on gamma alone: the band's cosines, the elevation's sine, the scattering.
        const bool horizontal = gamma == 90.0;
        const bool upper = gamma > 90.0 && gamma < 180.0;
        const bool zenith = gamma == 180.0;
        double cosines = 0.0;
        double elevationSine = 0.0;
        double w = 0.0;
        if (horizontal) {
            cosines = bandCosines(90.0, 90.0 + dGamma / 2.0);
        } else if (upper) {
            cosines = bandCosines(gamma - dGamma / 2.0, gamma + dGamma / 2.0);
            elevationSine = sind(gamma - 90.0);
            w = scatteredFraction(180.0 - gamma);
        } else if (zenith) {
            cosines = bandCosines(180.0 - dGamma / 2.0, 180.0);
            w = scatteredFraction(0.0);
        }
        for (int l = 0; l < nC - 1; ++l) {
            const double dC = widths[static_cast<std::size_t>(l)];
            const double lc = luminanceTowards[static_cast<std::size_t>(l)];
            const double intensity = ie(l, m);
            double ir = 0.0;
            if (horizontal) {
                const double dOmega = bandSolidAngleOf(dC, cosines);
                direct += dOmega * intensity * kHorizontalScatter;
            } else if (upper) {
                const double dOmega = bandSolidAngleOf(dC, cosines);
                ir = elevationSine * lc * s.roadWidth * s.spacing / (s.maintenanceFactor * s.lampFlux);
                direct += dOmega * intensity * w;
                road += dOmega * ir * w;
            } else if (zenith) {
                const double dOmega = bandSolidAngleOf(dC, cosines);
                ir = lc * s.roadWidth * s.spacing / (s.maintenanceFactor * s.lampFlux);
                direct += dOmega * intensity * w;
                road += dOmega * ir * w;
            }
            re(l, m) = gamma >= 90.0 ? ir * roadUpwardFactor() : 0.0;
        }
        if (nC >= 1) re(nC - 1, m) = re(0, m);
    }
    const double lorl = in.emission.lightOutputRatio;
    f.directScattered = direct / 10.0 * 100.0 / lorl;
    f.roadScattered = road / 10.0 * 100.0 / lorl;
}

void lowAngleFactors(ScatteringFactors& f, const PollutionInputs& in, const DirectionalPollution& d) {
    for (int n = 0; n < kElevations; ++n) f.lowAngleSolidAngle[static_cast<std::size_t>(n)] = kLowAngleSolidAngle[n];
    double directUp = 0.0;
    double roadUp = 0.0;
    double directScattered = 0.0;
    double roadScattered = 0.0;
    for (int n = 0; n < kElevations; ++n) {
        const auto k = static_cast<std::size_t>(n);
        const double omega = f.lowAngleSolidAngle[k];
        const double fixture = d.averages[k].fixture;
        const double road = d.averages[k].road;
        const double w = scatteredFraction(90.0 - kElevationSet[n]);
        directUp += kSectorsPerRing * omega * fixture;
        roadUp += kSectorsPerRing * omega * road;
        directScattered += w * kSectorsPerRing * omega * fixture;
        roadScattered += w * kSectorsPerRing * omega * road;
    }
    const double lorl = in.emission.lightOutputRatio;
    f.lowAngleDirectUp = directUp / 10.0 * 100.0 / lorl;
    f.lowAngleRoadUp = roadUp / 10.0 * 100.0 / lorl;
    f.lowAngleDirectScattered = directScattered / 10.0 * 100.0 / lorl;
    f.lowAngleRoadScattered = roadScattered / 10.0 * 100.0 / lorl;
    const double scale = f.outOfRoadScale;
    f.lowAngleOutOfRoadUp = f.lowAngleRoadUp * scale;
    f.lowAngleDirectUpIncreasePercent = f.lowAngleDirectUp * 100.0 / f.lowAngleRoadUp;
    f.lowAngleOutOfRoadUpIncreasePercent = scale * 100.0;
    f.lowAngleOutOfRoadScattered = f.lowAngleRoadScattered * scale;
    f.lowAngleDirectScatteredIncreasePercent = f.lowAngleDirectScattered * 100.0 / f.lowAngleRoadScattered;
    f.lowAngleOutOfRoadScatteredIncreasePercent = scale * 100.0;
}

}  // namespace

double scatteredFraction(double z) {
    const double c = cosd(z);
    const double s = 1.0 / c;
    const double excess = s - 1.0;
    const double airMass = s - 0.01 * (excess * excess);
    return 1.0 - std::exp(-airMass * 2.9480005371723247e-06 * 100000.0);
}

ScatteringFactors computeScatteringFactors(const PollutionInputs& in, const DirectionalPollution& d,
                                           const IntegratedPollution& integrated) {
    ScatteringFactors f;
    const double lastGamma = in.photometry.lastGamma();
    f.outOfRoadScale = integrated.outOfRoadUplightDensity / integrated.roadUplightDensity;
    f.outOfRoadAvailable = integrated.computed;
    if (lastGamma == 180.0) {
        f.hemisphericAvailable = true;
        hemisphericFactors(f, in, d);
        f.outOfRoadScattered = f.roadScattered * f.outOfRoadScale;
        f.directIncreasePercent = f.directScattered * 100.0 / f.roadScattered;
        f.outOfRoadIncreasePercent = f.outOfRoadScale * 100.0;
    }
    if (lastGamma >= 120.0) {
        f.lowAngleAvailable = true;
        lowAngleFactors(f, in, d);
    }
    return f;
}

}  // namespace vl
