#include "core/roadlighting/summary.hpp"

#include <functional>
#include <string>
#include <string_view>

#include "writers/format.hpp"

namespace vl {

namespace {

// A label padded with blanks to the column before its number; a longer one stays whole.
std::string label(std::string_view text, std::size_t width = 50) {
    if (text.size() >= width) return std::string(text);
    return fmt::padded(text, width);
}

void fline(Stream stream, std::string_view text, double value, int width = 7, int decimals = 2) {
    writeLine(stream, label(text) + fmt::F(value, width, decimals));
}

void both(const std::function<void(Stream)>& lines) {
    lines(Stream::Console);
    lines(Stream::Report);
}

void observerLines(Stream stream, const char* name, const MapStatistics& s, double overall, double lengthwise) {
    listText(stream, "    ");
    listText(stream, name);
    listText(stream, "maintained luminance L (cd/m^2):");
    fline(stream, " average:", s.average);
    fline(stream, " rms:", s.rms);
    fline(stream, " minimum:", s.minimum);
    fline(stream, " maximum:", s.maximum);
    fline(stream, " overall uniformity U_0 (min/ave):", overall);
    fline(stream, " lengthwise uniformity U_L:", lengthwise);
}

void maxAverageMin(Stream stream, const MapStatistics& s) {
    fline(stream, " maximum:", s.maximum);
    fline(stream, " average:", s.average);
    fline(stream, " minimum:", s.minimum);
}

void minAverageMax(Stream stream, const MapStatistics& s) {
    fline(stream, " minimum:", s.minimum);
    fline(stream, " average:", s.average);
    fline(stream, " maximum:", s.maximum);
}

void incompletePhotometryNotice(Stream stream) {
    const std::string dots = fmt::repeat('.', 53);
    listText(stream, " ");
    listText(stream, dots);
    listText(stream, "ATTENTION: The input photometry is incomplete.");
    listText(stream, "It does not fill the full gamma range 0-180 degrees");
    listText(stream, "Computation of emission data can be made");
    listText(stream, "only for zero inclination.");
    listText(stream, dots);
}

}  // namespace

void writeRoadLightingHeading(double q) {
    for (const Stream stream : {Stream::Console, Stream::Report}) {
        listText(stream, "    ");
        listText(stream, separator(stream));
        listText(stream, "Road lighting parameters:");
    }
    both([](Stream stream) { listText(stream, "  "); });
    both([q](Stream stream) { fline(stream, " Lamp flux maintenance factor q", q); });
}

void writeRoadLightingBody(Stream stream, const ResultMaps& maps) {
    const double illuminance = maps.horizontalIlluminanceStats.average;
    const double atInfinity = maps.luminanceAtInfinityStats.average;
    const double observed = maps.luminanceObserver1Stats.average;

    listText(stream, "    ");
    listText(stream, "observer at infinity");
    writeLine(stream, label(" average maintained luminance L_ave (cd/m^2):", 51) + fmt::F(atInfinity, 6, 2));
    observerLines(stream, "observer 1", maps.luminanceObserver1Stats, maps.overallUniformity1,
                  maps.lengthwiseUniformity1);
    observerLines(stream, "observer 2", maps.luminanceObserver2Stats, maps.overallUniformity2,
                  maps.lengthwiseUniformity2);

    const MapStatistics& e = maps.horizontalIlluminanceStats;
    listText(stream, "    ");
    listText(stream, "maintained horizontal illuminance E (lx):");
    fline(stream, " average:", e.average);
    fline(stream, " rms:", e.rms);
    fline(stream, " minimum:", e.minimum);
    fline(stream, " maximum:", e.maximum);
    fline(stream, " min/ave:", e.minimum / e.average);
    fline(stream, " min/max:", e.minimum / e.maximum);

    listText(stream, "    ");
    listText(stream, "average luminance per unit illuminance)(cd/lm)");
    listText(stream, "(luminance coefficient)");
    fline(stream, " at infinity:", atInfinity / illuminance, 7, 3);
    fline(stream, " observed:", observed / illuminance, 7, 3);
    listText(stream, "average illuminance per unit luminance K (lx/cd/m^2)");
    fline(stream, " at infinity:", illuminance / atInfinity);
    fline(stream, " observed:", illuminance / observed);

    listText(stream, "    ");
    listText(stream, "veiling luminance on the road (cd/m^2):");
    maxAverageMin(stream, maps.veilingLuminanceStats);

    listText(stream, "    ");
    listText(stream, "threshold increment TI %:");
    const double ti1 = maps.thresholdIncrement1;
    const double ti2 = maps.thresholdIncrement2;
    fline(stream, " maximum (both observers):", ti1 >= ti2 ? ti1 : ti2);
    fline(stream, " maximum (observer 1):", ti1);
    fline(stream, " maximum (observer 2):", ti2);
    listText(stream, stream == Stream::Console ? "" : " ");

    listText(stream, "glare rating index GR:");
    maxAverageMin(stream, maps.glareRatingStats);

    listText(stream, "    ");
    listText(stream, "maintained semicilindrical illuminance Esc (lx):");
    minAverageMax(stream, maps.semicylindricalIlluminanceStats);

    listText(stream, "    ");
    listText(stream, "maintained vertical illuminance Ev (lx):");
    minAverageMax(stream, maps.verticalIlluminanceStats);

    const MapStatistics& ehs = maps.hemisphericalIlluminanceStats;
    listText(stream, "    ");
    listText(stream, "maintained hemispherical illuminance Ehs (lx):");
    minAverageMax(stream, ehs);
    fline(stream, " min/ave:", ehs.minimum / ehs.average);
}

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

void writeEnergySection(const RoadInstallation& road, const EmissionData& emission, const PhotometryTable& photometry,
                        const LampSet& lamp, ResultMaps& maps) {
    sectionHeading(Stream::Console, "Energy and cost parameters:");
    sectionHeading(Stream::Report, "Energy and cost parameters:");

    const FluxUse use = computeFluxUse(maps.horizontalIlluminanceStats.average, road, emission);
    maps.utilizationFactor = use.utilizationFactor;
    maps.usedLuminaireFluxPercent = use.usedLuminaireFluxPercent;
    maps.wastedDownwardFluxPercent = use.wastedDownwardFluxPercent;

    both([&](Stream stream) {
        fline(stream, " utilization factor (flux on the road/lamp flux): ", use.utilizationFactor, 7, 3);
    });

    const double dff = emission.downwardFluxFactor;
    if (photometryIncompleteForTilt(road.tilt, photometry)) {
        incompletePhotometryNotice(Stream::Report);
        incompletePhotometryNotice(Stream::Console);
    } else {
        both([&](Stream stream) {
            fline(stream, " used fraction of the luminaire flux %:", use.usedLuminaireFluxPercent);
            fline(stream, " wasted fraction of the luminaire flux %:", 100.0 - use.usedLuminaireFluxPercent);
            fline(stream, " used fraction of the downward flux %:", use.usedLuminaireFluxPercent * 100.0 / dff);
            fline(stream, " wasted fraction of the downward flux %:", use.wastedDownwardFluxPercent);
        });
    }

    const double flux = road.lampFlux;
    const double q = road.maintenanceFactor;
    const double w = road.roadWidth;
    const double s = road.spacing;
    both([&](Stream stream) {
        listText(stream, "    ");
        fline(stream, " luminaires per km:", 1000.0 / s);
        fline(stream, " installed lamp flux per unit length (klm/km):", flux * 1000.0 / s);
        fline(stream, " installed lamp flux per unit area (lm/m^2):", flux * 1000.0 / (w * s));
    });

    const double m = (maps.luminanceObserver1Stats.average + maps.luminanceObserver2Stats.average) / 2.0;
    both([&](Stream stream) {
        listText(stream, "    ");
        listText(stream, "installed lamp flux per unit length per unit luminance");
        fline(stream, " initial (klm/km)/(cd/m^2)   :", q * flux * 1000.0 / s / m);
        fline(stream, " maintained (klm/km)/(cd/m^2):", flux * 1000.0 / s / m);
        listText(stream, "installed lamp flux per unit area per unit luminance");
        fline(stream, " (initial photometric efficacy, lm/cd)   :", q * flux * 1000.0 / (w * s) / m);
        fline(stream, " (maintained photometric efficacy, lm/cd):", flux * 1000.0 / (w * s) / m);
    });

    const double power = lamp.wattage / lamp.totalFlux * 1000.0 * flux;
    const std::string lampType = fmt::padded(lamp.lampType, 20);
    both([&](Stream stream) {
        listText(stream, "    ");
        listText(stream, "installed power per unit length per unit maintained luminance");
        fline(stream, " (kW/km)/(cd/m^2):", power / s / m);
        listText(stream, "installed power per unit area per unit maintained luminance");
        fline(stream, " (energetic efficacy, W/cd):", power / (w * s) / m);
        const char* lead = stream == Stream::Console ? "evaluated for lamp " : "evaluated for lamp";
        writeLine(stream, fmt::ListLine().text(lead).text(lampType).str());
        writeLine(stream, " with lamp efficacy (including ballast)" +
                              fmt::F(lamp.totalFlux / lamp.wattage, 5, 1) + " lm/w");
    });
}

}  // namespace vl
