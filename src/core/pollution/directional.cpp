// Upward luminances and intensities of road and luminaire by direction.
#include <cstddef>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "core/pollution/pollution.hpp"

namespace vl {

namespace {

// Lw(k): maintained luminance towards azimuth 10 (k - 1) deg averaged over the grid, and
// its spline with zero slopes at both ends.
void averageByAzimuth(DirectionalPollution& d, const ComputationGrid& grid, double q,
                      const DirectionalLuminance& luminance) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double points = static_cast<double>(nX * nY);
    for (int k = 0; k < kDirections; ++k) {
        d.azimuthDeg[static_cast<std::size_t>(k)] = 10.0 * k;
        double sum = 0.0;
        for (int i = 0; i < nX; ++i) {
            for (int j = 0; j < nY; ++j) {
                const std::size_t point =
                    static_cast<std::size_t>(i) * static_cast<std::size_t>(nY) + static_cast<std::size_t>(j);
                sum += q * luminance[point * kDirections + static_cast<std::size_t>(k)] / points;
            }
        }
        d.avgLuminanceByAzimuth[static_cast<std::size_t>(k)] = sum;
    }
    prepareSpline(d.azimuthDeg.data(), d.avgLuminanceByAzimuth.data(), kDirections, 0.0, 0.0,
                  d.avgLuminanceSpline.data());
}

// Road and luminaire intensity upwards at elevation alpha towards azimuth omega.
void directionTable(DirectionalPollution& d, const PollutionInputs& in) {
    const InstallationData& s = in.installation;
    const double lor = in.emission.lightOutputRatio / 100.0;
    const double gammaLast = in.photometry.lastGamma();
    for (int azimuth = 0; azimuth < 360; azimuth += 30) {
        const double omega = azimuth;
        const double lw = d.avgLuminanceByAzimuth[static_cast<std::size_t>(azimuth / 10)];
        for (double alpha : kElevationSet) {
            DirectionRow row;
            row.alpha = alpha;
            row.azimuth = azimuth;
            UpwardIntensities& u = row.intensities;
            u.road = sind(alpha) * s.roadWidth * s.spacing * lw / (s.maintenanceFactor * s.lampFlux);
            u.roadPerLuminaireFlux = u.road / lor;
            if (alpha == 1.0 && azimuth == 0) d.roadIntensity1deg0 = u.road;
            if (alpha == 1.0 && azimuth == 90) d.roadIntensity1deg90 = u.road;
            if (90.0 + alpha <= gammaLast) {
                u.fixtureAvailable = true;
                u.fixture = in.luminaire.at(omega + 180.0, 90.0 + alpha);
                u.fixturePerLuminaireFlux = u.fixture / lor;
                u.ratioPercent = 100.0 * u.fixture / u.road;
            }
            d.directionTable.push_back(row);
        }
    }
}

// Road and luminaire intensities at each elevation averaged over the azimuth.
void azimuthAverages(DirectionalPollution& d, const PollutionInputs& in) {
    const InstallationData& s = in.installation;
    const PhotometryTable& ph = in.photometry;
    const double lor = in.emission.lightOutputRatio / 100.0;
    const double gammaLast = ph.lastGamma();
    double sum = 0.0;
    for (double lw : d.avgLuminanceByAzimuth) sum += lw;
    d.meanLuminance = sum / 36.0;
    const double meanL = d.meanLuminance;
    for (int n = 0; n < kElevations; ++n) {
        const double alpha = kElevationSet[n];
        UpwardIntensities& u = d.averages[static_cast<std::size_t>(n)];
        u.road = sind(alpha) * s.roadWidth * meanL * s.spacing / (s.maintenanceFactor * s.lampFlux);
        u.roadPerLuminaireFlux = u.road / lor;
        if (gammaLast >= 90.0 + alpha) {
            double fixtureSum = 0.0;
            for (int l = 0; l < ph.cCount - 1; ++l) {
                fixtureSum += in.luminaire.at(ph.cAngles[static_cast<std::size_t>(l)] + 180.0, 90.0 + alpha);
            }
            u.fixtureAvailable = true;
            u.fixture = fixtureSum / static_cast<double>(ph.cCount - 1);
            u.fixturePerLuminaireFlux = u.fixture / lor;
            u.ratioPercent = 100.0 * u.fixture / u.road;
        }
    }
}

}  // namespace

MaximumLuminaireIntensity maximumUpwardIntensity(const PhotometryTable& ph, double tilt, const EmissionData& emission) {
    const double lor = emission.lightOutputRatio / 100.0;
    double maxIntensity = 0.0;
    int maxL = 0;
    int maxM = 0;
    for (int l = 0; l < ph.cCount; ++l) {
        for (int m = 0; m < ph.gammaCount; ++m) {
            const Direction d =
                rotang(ph.cAngles[static_cast<std::size_t>(l)], ph.gammaAngles[static_cast<std::size_t>(m)], tilt);
            if (d.gamma >= 90.0 && ph.I(l, m) > maxIntensity) {
                maxIntensity = ph.I(l, m);
                maxL = l;
                maxM = m;
            }
        }
    }
    MaximumLuminaireIntensity max;
    if (maxIntensity != 0.0) {
        max.found = true;
        max.intensity = maxIntensity;
        max.perLuminaireFlux = maxIntensity / lor;
        max.at = rotang(ph.cAngles[static_cast<std::size_t>(maxL)], ph.gammaAngles[static_cast<std::size_t>(maxM)], tilt);
    }
    return max;
}

DirectionalPollution computeDirectionalPollution(const PollutionInputs& in, const ComputationGrid& grid,
                                                 const DirectionalLuminance& luminanceByDirection) {
    DirectionalPollution d;
    const InstallationData& s = in.installation;
    averageByAzimuth(d, grid, s.maintenanceFactor, luminanceByDirection);
    directionTable(d, in);
    azimuthAverages(d, in);
    d.maxLuminaire = maximumUpwardIntensity(in.photometry, s.tilt, in.emission);
    const double lor = in.emission.lightOutputRatio / 100.0;
    d.maxRoadIntensity = d.meanLuminance * s.roadWidth * s.spacing / (s.lampFlux * s.maintenanceFactor);
    d.maxRoadIntensityPerLuminaireFlux = d.maxRoadIntensity / lor;
    return d;
}

}  // namespace vl
