#include "core/pollution/scattering.hpp"

#include <cmath>
#include <cstddef>
#include <string>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "core/pollution/pollution_output.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

using pollution::kElevationSet;

// Scattered fraction of a horizontal path (zenith angle 89 deg).
constexpr double kHorizontalScatter = 0.9994727543377309731;
// Solid angle (sr) of one 5 deg azimuth sector of the elevation bands 0-5, 5-15, 15-25 and
// 25-30 deg, which stand for the elevations 1, 10, 20 and 30 deg.
constexpr double kLowAngleSolidAngle[kElevations] = {0.00760577, 0.01498045, 0.01429418, 0.00675283};
constexpr double kSectorsPerRing = 72.0;

// Direct and road scattered flux over the upper hemisphere; fills the road's estimated
// photometry on the luminaire's angle grid.
void prepareHemisphericFactors() {
    auto& st = state();
    auto& pol = st.pollution;
    const auto& ph = st.photometry;
    const auto& in = st.installation;
    const int nC = ph.cCount;
    const int nG = ph.gammaCount;

    pol.roadEstimatedPhotometry.assign(static_cast<std::size_t>(nC) * static_cast<std::size_t>(nG), 0.0);
    auto re = [&](int l, int m) -> double& {
        return pol.roadEstimatedPhotometry[static_cast<std::size_t>(l + nC * m)];
    };
    auto ie = [&](int l, int m) { return st.rotated.rotatedIntensity[static_cast<std::size_t>(l + nC * m)]; };

    double direct = 0.0;
    double road = 0.0;
    for (int m = 0; m < nG; ++m) {
        const double gamma = ph.gammaAngles[static_cast<std::size_t>(m)];
        const double dGamma = gammaWidth(m);
        for (int l = 0; l < nC - 1; ++l) {
            const double c = ph.cAngles[static_cast<std::size_t>(l)];
            const double dC = cWidth(l);
            const double lc =
                evaluateSpline(pol.azimuthDeg.data(), pol.avgLuminanceByAzimuth.data(), pol.avgLuminanceSpline.data(),
                               kDirections, c);
            const double intensity = ie(l, m);
            double ir = 0.0;
            if (gamma == 90.0) {
                const double dOmega = bandSolidAngle(dC, 90.0, 90.0 + dGamma / 2.0);
                direct += dOmega * intensity * kHorizontalScatter;
            } else if (gamma > 90.0 && gamma < 180.0) {
                const double dOmega = bandSolidAngle(dC, gamma - dGamma / 2.0, gamma + dGamma / 2.0);
                ir = sind(gamma - 90.0) * lc * in.roadWidth * in.spacing / (in.maintenanceFactor * in.lampFlux);
                const double w = scatteredFraction(180.0 - gamma);
                direct += dOmega * intensity * w;
                road += dOmega * ir * w;
            } else if (gamma == 180.0) {
                const double dOmega = bandSolidAngle(dC, 180.0 - dGamma / 2.0, 180.0);
                ir = lc * in.roadWidth * in.spacing / (in.maintenanceFactor * in.lampFlux);
                const double w = scatteredFraction(0.0);
                direct += dOmega * intensity * w;
                road += dOmega * ir * w;
            }
            re(l, m) = gamma >= 90.0 ? ir * pollution::roadUpwardFactor() : 0.0;
        }
        if (nC >= 1) re(nC - 1, m) = re(0, m);
    }
    const double lorl = st.emission.lightOutputRatio;
    pol.directScatteredFactor = direct / 10.0 * 100.0 / lorl;
    pol.roadScatteredFactor = road / 10.0 * 100.0 / lorl;
}

void reportHemisphericFactors(double outOfRoadScale) {
    const auto& pol = state().pollution;
    if (pollution::lastGamma() == 180.0) {
        const double direct = pol.directScatteredFactor;
        const double road = pol.roadScatteredFactor;
        for (Stream s : {Stream::Console, Stream::Report}) {
            listText(s, "    ");
            writeLine(s, " direct scattered flux factor %                   " + fmt::F(direct, 7, 2));
            writeLine(s, " road scattered flux factor %                     " + fmt::F(road, 7, 2));
            writeLine(s, " out-of-road scattered flux factor %              " + fmt::F(road * outOfRoadScale, 7, 2));
            writeLine(s, " increase of scattered flux due to direct emiss. % " +
                             fmt::Itrunc(fmt::truncated(direct * 100.0 / road), 6));
            writeLine(s, " increase of scattered flux due to out-road emiss.%" +
                             fmt::Itrunc(fmt::truncated(outOfRoadScale * 100.0), 6));
        }
    } else {
        pollution::textsToBoth({" ", "total scattered light factors not available"});
    }
}

void reportLowAngleFactors(double outOfRoadScale) {
    auto& st = state();
    auto& pol = st.pollution;
    if (pollution::lastGamma() < 120.0) {
        for (Stream s : {Stream::Console, Stream::Report}) {
            listText(s, " ");
            listText(s, "low angles flux factors not available");
            listText(s, "scattered light factors not available");
        }
        return;
    }
    for (int n = 0; n < kElevations; ++n) pol.lowAngleSolidAngle[static_cast<std::size_t>(n)] = kLowAngleSolidAngle[n];

    double directUp = 0.0;
    double roadUp = 0.0;
    double directScattered = 0.0;
    double roadScattered = 0.0;
    for (int n = 0; n < kElevations; ++n) {
        const auto k = static_cast<std::size_t>(n);
        const double omega = pol.lowAngleSolidAngle[k];
        const double fixture = pol.avgFixtureUpIntensity[k];
        const double road = pol.avgRoadUpIntensity[k];
        const double w = scatteredFraction(90.0 - kElevationSet[n]);
        directUp += kSectorsPerRing * omega * fixture;
        roadUp += kSectorsPerRing * omega * road;
        directScattered += w * kSectorsPerRing * omega * fixture;
        roadScattered += w * kSectorsPerRing * omega * road;
    }
    const double lorl = st.emission.lightOutputRatio;
    directUp = directUp / 10.0 * 100.0 / lorl;
    roadUp = roadUp / 10.0 * 100.0 / lorl;
    directScattered = directScattered / 10.0 * 100.0 / lorl;
    roadScattered = roadScattered / 10.0 * 100.0 / lorl;

    // The out-of-road lines scale by the uplight densities of this run; without them
    // (integrated parameters skipped) they would show an earlier run's figures.
    const bool scaled = pol.integratedComputedThisRun;
    auto realLine = [&](const char* label, double value, bool available) {
        return available ? std::string(label) + fmt::F(value, 7, 2) : pollution::notAvailable(label);
    };
    auto increaseLine = [&](const char* label, double value, bool available) {
        return available ? std::string(label) + fmt::Itrunc(fmt::truncated(value), 5) : pollution::notAvailable(label);
    };
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        writeLine(s, realLine(" low-angles direct upward flux factor %           ", directUp, true));
        writeLine(s, realLine(" low-angles road upward flux factor %             ", roadUp, true));
        writeLine(s, realLine(" low-angles out-of-road upward flux factor %      ", roadUp * outOfRoadScale, scaled));
        writeLine(s, increaseLine(" increase of low-angles upward flux due to direct emission %   ",
                                  directUp * 100.0 / roadUp, true));
        writeLine(s, increaseLine(" increase of low-angles upward flux due to out-road emission % ",
                                  outOfRoadScale * 100.0, scaled));
        listText(s, " ");
        writeLine(s, realLine(" low-angles direct scattered flux factor %        ", directScattered, true));
        writeLine(s, realLine(" low-angles road scattered flux factor %          ", roadScattered, true));
        writeLine(s,
                  realLine(" low-angles out-of-road scattered flux factor %   ", roadScattered * outOfRoadScale, scaled));
        writeLine(s, increaseLine(" increase of low-angles scattered flux due to direct emission %",
                                  directScattered * 100.0 / roadScattered, true));
        writeLine(s, increaseLine(" increase of low-angles scattered flux due to out-road emiss. %",
                                  outOfRoadScale * 100.0, scaled));
        listText(s, " ");
    }
}

}  // namespace

double scatteredFraction(double z) {
    const double c = cosd(z);
    const double s = 1.0 / c;
    const double excess = s - 1.0;
    const double airMass = s - 0.01 * (excess * excess);
    return 1.0 - std::exp(-airMass * 2.9480005371723247e-06 * 100000.0);
}

void reportScatteringFactors() {
    if (pollution::lastGamma() == 180.0) prepareHemisphericFactors();

    pollution::pollutionHeading("Light Pollution, emispheric and low-angles scattering parameters");

    const auto& pol = state().pollution;
    const double ruud = pol.roadAndDirectUplightDensity - pol.directUplightDensity;
    const double outOfRoadScale = pol.outOfRoadUplightDensity / ruud;
    reportHemisphericFactors(outOfRoadScale);
    reportLowAngleFactors(outOfRoadScale);

    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        listText(s, separator(s));
    }
}

}  // namespace vl
