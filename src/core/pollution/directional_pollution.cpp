#include "core/pollution/directional_pollution.hpp"

#include <cstddef>
#include <string>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/process_stop.hpp"
#include "core/pollution/pollution_output.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

using pollution::kElevationSet;
using pollution::lineToBoth;
using pollution::textsToBoth;
using pollution::textToBoth;

const std::string kNotAvailablePair = "  not available,   not available";

// Lw(k): maintained luminance towards azimuth 10 (k - 1) deg averaged over the grid, and
// its spline with zero slopes at both ends.
void reportAzimuthLuminance() {
    auto& st = state();
    auto& pol = st.pollution;
    const int nX = st.grid.pointsAlongX;
    const int nY = st.grid.pointsAlongY;
    const double q = st.installation.maintenanceFactor;
    const double points = static_cast<double>(nX * nY);
    for (int k = 0; k < kDirections; ++k) {
        pol.azimuthDeg[static_cast<std::size_t>(k)] = 10.0 * k;
        double sum = 0.0;
        for (int i = 0; i < nX; ++i) {
            for (int j = 0; j < nY; ++j) {
                sum += q * st.maps.luminanceByDirection[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]
                                                       [static_cast<std::size_t>(k)] /
                       points;
            }
        }
        pol.avgLuminanceByAzimuth[static_cast<std::size_t>(k)] = sum;
    }
    prepareSpline(pol.azimuthDeg.data(), pol.avgLuminanceByAzimuth.data(), kDirections, 0.0, 0.0,
                  pol.avgLuminanceSpline.data());

    textsToBoth({" ", "Average maintained luminance at azimuth omega",
                 "              Azimuth (deg) luminance (cd/m^2)"});
    for (int k = 0; k < kDirections; ++k) {
        lineToBoth("               " + fmt::I(10 * k, 11) +
                   fmt::F(pol.avgLuminanceByAzimuth[static_cast<std::size_t>(k)], 12, 3));
    }
}

// Road and luminaire intensity upwards at elevation alpha towards azimuth omega.
void reportDirectionTable() {
    auto& st = state();
    auto& pol = st.pollution;
    const auto& in = st.installation;
    const double lor = st.emission.lightOutputRatio / 100.0;
    const double gammaLast = pollution::lastGamma();

    textsToBoth({" ", "Upward intensity per unit luminaire flux (cd/klm)", "at elevation alpha and azimuth omega",
                 "alpha(deg)  omega(deg) road intensity  fixture intensity  ratio%"});
    for (int azimuth = 0; azimuth < 360; azimuth += 30) {
        const double omega = azimuth;
        const double lw = pol.avgLuminanceByAzimuth[static_cast<std::size_t>(azimuth / 10)];
        for (double alpha : kElevationSet) {
            const double ir =
                sind(alpha) * in.roadWidth * in.spacing * lw / (in.maintenanceFactor * in.lampFlux);
            if (alpha == 1.0 && azimuth == 0) pol.roadIntensity1deg0 = ir;
            if (alpha == 1.0 && azimuth == 90) pol.roadIntensity1deg90 = ir;
            std::string line = fmt::Itrunc(alpha, 7) + fmt::I(azimuth, 10) + fmt::F(fmt::single(ir / lor), 15, 2);
            if (90.0 + alpha <= gammaLast) {
                const double fixture = luminaireIntensityAt(omega + 180.0, 90.0 + alpha);
                const double ratio = fmt::truncated(100.0 * fixture / ir);
                line += fmt::F(fmt::single(fixture / lor), 17, 2) + fmt::Itrunc(ratio, 15);
            } else {
                line += kNotAvailablePair;
            }
            lineToBoth(line);
        }
    }
}

// Road and luminaire intensities at each elevation averaged over the azimuth.
void reportAzimuthAverages() {
    auto& st = state();
    auto& pol = st.pollution;
    const auto& in = st.installation;
    const auto& ph = st.photometry;
    const double lor = st.emission.lightOutputRatio / 100.0;
    const double gammaLast = pollution::lastGamma();

    textsToBoth({" ", "Average upward intensity per unit luminaire flux at elevat. alpha",
                 "    alpha  average road intensity  fixture intensity      ratio%"});
    double sum = 0.0;
    for (double lw : pol.avgLuminanceByAzimuth) sum += lw;
    pol.meanLuminance = sum / 36.0;
    const double meanL = pol.meanLuminance;
    for (int n = 0; n < kElevations; ++n) {
        const double alpha = kElevationSet[n];
        const double ir = sind(alpha) * in.roadWidth * meanL * in.spacing / (in.maintenanceFactor * in.lampFlux);
        pol.avgRoadUpIntensity[static_cast<std::size_t>(n)] = ir;
        std::string line = fmt::Itrunc(alpha, 7) + "deg" + fmt::F(ir / lor, 15, 2);
        if (gammaLast >= 90.0 + alpha) {
            double fixtureSum = 0.0;
            for (int l = 0; l < ph.cCount - 1; ++l) {
                fixtureSum += luminaireIntensityAt(ph.cAngles[static_cast<std::size_t>(l)] + 180.0, 90.0 + alpha);
            }
            const double fixture = fixtureSum / static_cast<double>(ph.cCount - 1);
            pol.avgFixtureUpIntensity[static_cast<std::size_t>(n)] = fixture;
            const double ratio = fmt::truncated(100.0 * fixture / ir);
            line += fmt::F(fixture / lor, 21, 2) + fmt::Itrunc(ratio, 18);
        } else {
            line += kNotAvailablePair;
        }
        lineToBoth(line);
    }
}

void writeIncompletePhotometryWarning() {
    const std::string dots = fmt::repeat('.', 54);
    const char* message[] = {"ATTENTION: The input photometry is incomplete.",
                             "It does not fill the full gamma range 0-180 degrees",
                             "This estimate assumes that the intensity decreases at larger ",
                             "gamma, however this cannot be checked."};
    listText(Stream::Report, " ");
    for (Stream s : {Stream::Report, Stream::Console}) {
        listText(s, dots);
        for (const char* text : message) listText(s, text);
        listText(s, dots);
        listText(s, " ");
    }
}

// Largest table intensity whose direction points upwards once the luminaire is tilted.
void reportMaximumLuminaireIntensity() {
    auto& st = state();
    const auto& ph = st.photometry;
    const double tilt = st.installation.tilt;
    const double lor = st.emission.lightOutputRatio / 100.0;

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

    if (maxIntensity != 0.0) {
        const Direction at = rotang(ph.cAngles[static_cast<std::size_t>(maxL)],
                                    ph.gammaAngles[static_cast<std::size_t>(maxM)], tilt);
        st.pollution.maxUpwardIntensity = maxIntensity;
        const std::string angles = " cd/klm at angles C, gamma" + fmt::Inint(at.c, 4) + "," + fmt::Inint(at.gamma, 4);
        textToBoth(" ");
        textToBoth("Maximum upward luminaire intensity");
        lineToBoth(" per unit lamp flux     " + fmt::F(maxIntensity, 7, 2) + angles);
        lineToBoth(" per unit luminaire flux" + fmt::F(maxIntensity / lor, 7, 2) + angles);
        if (pollution::lastGamma() < 180.0) writeIncompletePhotometryWarning();
    } else {
        textsToBoth({" ", "Maximum luminaire intensity per unit lamp flux at angles C, gamma not available"});
    }
}

// Lambertian road intensity straight up; a rotation-only run (spacing 0) ends here.
void reportMaximumRoadIntensity() {
    auto& st = state();
    const auto& in = st.installation;
    if (in.spacing == 0.0) stopQuietly();
    const double lor = st.emission.lightOutputRatio / 100.0;
    const double ir = st.pollution.meanLuminance * in.roadWidth * in.spacing / (in.lampFlux * in.maintenanceFactor);
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        listText(s, "Maximum upward road intensity (estimate)");
        writeLine(s, " per unit lamp flux     " + fmt::F(ir, 7, 2) + " cd/klm at gamma 180 deg");
        writeLine(s, " per unit luminaire flux" + fmt::F(ir / lor, 7, 2) + " cd/klm at gamma 180 deg");
    }
}

}  // namespace

void reportDirectionalPollution() {
    pollution::pollutionHeading("Light Pollution, direction dependent parameters:");
    reportAzimuthLuminance();
    reportDirectionTable();
    reportAzimuthAverages();
    reportMaximumIntensities();
}

void reportMaximumIntensities() {
    reportMaximumLuminaireIntensity();
    reportMaximumRoadIntensity();
}

}  // namespace vl
