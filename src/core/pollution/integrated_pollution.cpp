#include "core/pollution/integrated_pollution.hpp"

#include <cstddef>
#include <string>

#include "core/numeric/degrees.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "core/pollution/pollution_output.hpp"
#include "core/pollution/road_upward_flux.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace pollution {

double roadUpwardFlux() {
    const auto& st = state();
    const auto& ph = st.photometry;
    const auto& in = st.installation;
    const double meanL = st.pollution.meanLuminance;
    const double straightUp = meanL * in.roadWidth * in.spacing / (in.lampFlux * in.maintenanceFactor);

    bool reachesUpperHalf = false;
    for (double g : ph.gammaAngles) reachesUpperHalf = reachesUpperHalf || g > 90.0;

    double flux = 0.0;
    for (int m = 0; m < ph.gammaCount; ++m) {
        const double gammaM = ph.gammaAngles[static_cast<std::size_t>(m)];
        const double dGamma = gammaWidth(m);
        // Without upper cells of its own the photometry lends the mirror images of its lower
        // cells: the band around 180 - gamma has the solid angle of the band around gamma.
        const double gamma = reachesUpperHalf ? gammaM : 180.0 - gammaM;
        const bool inUpperCells = reachesUpperHalf ? (gammaM > 90.0 && gammaM <= 180.0)
                                                   : (gammaM >= 0.0 && gammaM < 90.0);
        if (!inUpperCells) continue;
        for (int l = 0; l < ph.cCount - 1; ++l) {
            const double dC = cWidth(l);
            if (gamma == 180.0) {
                flux += bandSolidAngle(dC, 180.0 - dGamma / 2.0, 180.0) * straightUp;
            } else {
                const double intensity =
                    sind(gamma - 90.0) * meanL * in.roadWidth * in.spacing / (in.maintenanceFactor * in.lampFlux);
                flux += bandSolidAngle(dC, gamma - dGamma / 2.0, gamma + dGamma / 2.0) * intensity;
            }
        }
    }
    return flux;
}

double roadReflectedUpwardRatio() {
    const double lorl = state().emission.lightOutputRatio;
    return roadUpwardFlux() / 10.0 * 100.0 / lorl * roadUpwardFactor();
}

}  // namespace pollution

namespace {

using pollution::lineToBoth;

void writeNotApplicable() {
    const std::string dots = fmt::repeat('.', 54);
    for (Stream s : {Stream::Report, Stream::Console}) {
        listText(s, " ");
        listText(s, dots);
        listText(s, "ATTENTION: The input photometry is incomplete.");
        listText(s, "It does not fill the full gamma range 0-180 degrees");
        listText(s, "Computation of integrate parameters can be made");
        listText(s, "only for zero inclination.");
        listText(s, dots);
    }
}

}  // namespace

void reportIntegratedPollution() {
    auto& st = state();
    auto& pol = st.pollution;
    const auto& in = st.installation;
    const auto& em = st.emission;

    pollution::pollutionHeading("Light Pollution, integrated parameters:");
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, " ");
        listText(s, "reference out-of-road surfaces calculated for: ");
        listText(s, "lambertian reflectance with rho=0.135 in average");
    }

    if (in.tilt != 0.0 && pollution::lastGamma() < 180.0) {
        pol.integratedComputedThisRun = false;
        writeNotApplicable();
        return;
    }
    pol.integratedComputedThisRun = true;

    const double lorl = em.lightOutputRatio;
    const double lor = lorl / 100.0;
    const double dff = em.downwardFluxFactor;
    const double uff = em.upwardFluxFactor;
    const double wasted = st.maps.wastedDownwardFluxPercent;

    const double rr = pollution::roadReflectedUpwardRatio();
    const double rrAged = st.maps.agedAsphaltReflectedPercent * st.agedAsphalt.agedAsphaltFactor / lorl;
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        writeLine(s, " direct upward flux ratio UFR % (Rn%):            " + fmt::F(uff, 7, 2));
        writeLine(s, " road reflected upward flux ratio %:              " + fmt::F(rr, 7, 2));
        writeLine(s, "(road reflected upward flux ratio for aged asphalt%:" + fmt::F(rrAged, 5, 2) + ")");
    }

    pol.roadReflectedPercent = rr * lorl;
    const double rrRatio = pol.roadReflectedPercent / lorl;
    const double outOfRoad = wasted * 0.135 * dff / 100.0;
    const double directIncrease = fmt::truncated(uff / rrRatio * 100.0);
    const double outOfRoadIncrease = fmt::truncated(wasted * 13.5 * dff / 100.0 / rrRatio);
    for (Stream s : {Stream::Console, Stream::Report}) {
        writeLine(s, " out-of-road reflected upward flux ratio %:       " + fmt::F(outOfRoad, 7, 2));
        writeLine(s, " increase of upflux ratio due to direct emission %" + fmt::Itrunc(directIncrease, 7));
        writeLine(s, " increase of upflux ratio due to out-road emiss. %" + fmt::Itrunc(outOfRoadIncrease, 7));
    }

    const double phi = in.lampFlux;
    const double w = in.roadWidth;
    const double sp = in.spacing;
    const double duud = (100.0 - dff) * lor * 10.0 * phi / (w * sp);
    const double roadAndDirect = (uff * lorl + pol.roadReflectedPercent) * 10.0 * phi / (w * 100.0 * sp);
    const double wuud = lorl * outOfRoad * 10.0 * phi / (w * 100.0 * sp);
    const double ruud = roadAndDirect - duud;
    pol.directUplightDensity = duud;
    pol.roadAndDirectUplightDensity = roadAndDirect;
    pol.outOfRoadUplightDensity = wuud;
    for (Stream s : {Stream::Console, Stream::Report}) {
        listText(s, "    ");
        writeLine(s, " direct unit uplight density DUUD (lm/m^2):       " + fmt::F(duud, 7, 2));
        writeLine(s, " road unit uplight density RUUD (lm/m^2):         " + fmt::F(ruud, 7, 2));
        writeLine(s, " out-of-road unit uplight density WUUD (lm/m^2):  " + fmt::F(wuud, 7, 2));
        writeLine(s, " increase of uplight density due to direct emission %:" +
                         fmt::Itrunc(fmt::truncated(duud / ruud * 100.0), 5));
        writeLine(s, " increase of uplight density due to out-road emiss. %:" +
                         fmt::Itrunc(fmt::truncated(wuud / ruud * 100.0), 5));
    }
}

}  // namespace vl
