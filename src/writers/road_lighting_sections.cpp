// The "Grid data:", "Road lighting parameters:" and "Energy and cost parameters:" sections.
#include "writers/road_lighting_sections.hpp"

#include <functional>
#include <string>
#include <string_view>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

std::string label50(const char* text) { return fmt::padded(text, 50); }

// Lines 14 and 15: the placement along one axis ("b" border, "c" half cell, else none).
void writePlacement(Stream stream, char flag, const std::string& lower, const std::string& upper, int count,
                    double length, double cell) {
    if (flag == 'b') {
        listText(stream, "points along " + upper + " start at border");
        const double last = (static_cast<double>(count - 1) * length) / static_cast<double>(count);
        writeLine(stream, " first/last grid point " + lower + "= 0.0, " + lower + "=" + fmt::F(last, 6, 2));
    } else if (flag == 'c') {
        listText(stream, "points along " + upper + " start at half cellsize from the border");
        writeLine(stream, " first/last grid point " + lower + "=" + fmt::F(cell / 2.0, 6, 2) + ", " + lower + "=" +
                              fmt::F(length - cell / 2.0, 6, 2));
    }
}

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

void writeRoadLightingBody(Stream stream, const RoadLightingResult& maps) {
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

void writeGridData(Stream stream, const ComputationGrid& grid, const RoadInstallation& road) {
    sectionHeading(stream, "Grid data:");
    writeLine(stream, fmt::ListLine().text("adopted grid ").text(fmt::padded(grid.gridTitle, 40)).str());
    writeLine(stream, label50(" luminaire spacing (m)") + fmt::F(road.spacing, 7, 2));
    writeLine(stream, label50(" luminaire spacing ratio") + fmt::F(road.spacing / road.poleHeight, 7, 2));
    writeLine(stream, label50(" luminaire tilt for computation (deg)") + fmt::F(road.tilt, 7, 2));
    writeLine(stream, label50(" road width (m)") + fmt::F(road.roadWidth, 7, 2));
    writeLine(stream, fmt::ListLine().text("grid points along X").integer(grid.pointsAlongX).str());
    writeLine(stream, fmt::ListLine().text("grid points along Y").integer(grid.pointsAlongY).str());
    writeLine(stream, label50(" grid dX (m)") + fmt::F(grid.cellX, 7, 2));
    writeLine(stream, label50(" grid dY (m)") + fmt::F(grid.cellY, 7, 2));
    writePlacement(stream, grid.startFlagX, "x", "X", grid.pointsAlongX, road.spacing, grid.cellX);
    writePlacement(stream, grid.startFlagY, "y", "Y", grid.pointsAlongY, road.roadWidth, grid.cellY);
    writeLine(stream, " luminaire at x=0.0, y=" + fmt::F(road.overhang, 6, 2));
    const double d = -grid.observerDistance;
    writeLine(stream, " observer 1 at z=" + fmt::F(grid.observerHeight, 6, 2) + ", x=" + fmt::F(d, 6, 2) +
                          ", y=" + fmt::F(observerY(grid, road, 1), 6, 2));
    writeLine(stream, " observer 2 at z=" + fmt::F(grid.observerHeight, 6, 2) + ", x=" + fmt::F(d, 6, 2) +
                          ", y=" + fmt::F(observerY(grid, road, 2), 6, 2));
}

void writeEnergySection(const RoadLightingResult& result) {
    const EnergyFigures& e = result.energy;
    sectionHeading(Stream::Console, "Energy and cost parameters:");
    sectionHeading(Stream::Report, "Energy and cost parameters:");

    both([&](Stream stream) {
        fline(stream, " utilization factor (flux on the road/lamp flux): ", e.fluxUse.utilizationFactor, 7, 3);
    });

    if (e.incompleteForTilt) {
        incompletePhotometryNotice(Stream::Report);
        incompletePhotometryNotice(Stream::Console);
    } else {
        both([&](Stream stream) {
            fline(stream, " used fraction of the luminaire flux %:", e.fluxUse.usedLuminaireFluxPercent);
            fline(stream, " wasted fraction of the luminaire flux %:", e.wastedLuminaireFluxPercent);
            fline(stream, " used fraction of the downward flux %:", e.usedDownwardFluxPercent);
            fline(stream, " wasted fraction of the downward flux %:", e.fluxUse.wastedDownwardFluxPercent);
        });
    }

    both([&](Stream stream) {
        listText(stream, "    ");
        fline(stream, " luminaires per km:", e.luminairesPerKm);
        fline(stream, " installed lamp flux per unit length (klm/km):", e.fluxPerLength);
        fline(stream, " installed lamp flux per unit area (lm/m^2):", e.fluxPerArea);
    });

    both([&](Stream stream) {
        listText(stream, "    ");
        listText(stream, "installed lamp flux per unit length per unit luminance");
        fline(stream, " initial (klm/km)/(cd/m^2)   :", e.initialFluxPerLengthPerLuminance);
        fline(stream, " maintained (klm/km)/(cd/m^2):", e.maintainedFluxPerLengthPerLuminance);
        listText(stream, "installed lamp flux per unit area per unit luminance");
        fline(stream, " (initial photometric efficacy, lm/cd)   :", e.initialPhotometricEfficacy);
        fline(stream, " (maintained photometric efficacy, lm/cd):", e.maintainedPhotometricEfficacy);
    });

    const std::string lampType = fmt::padded(e.lamp.lampType, 20);
    both([&](Stream stream) {
        listText(stream, "    ");
        listText(stream, "installed power per unit length per unit maintained luminance");
        fline(stream, " (kW/km)/(cd/m^2):", e.powerPerLengthPerLuminance);
        listText(stream, "installed power per unit area per unit maintained luminance");
        fline(stream, " (energetic efficacy, W/cd):", e.energeticEfficacy);
        const char* lead = stream == Stream::Console ? "evaluated for lamp " : "evaluated for lamp";
        writeLine(stream, fmt::ListLine().text(lead).text(lampType).str());
        writeLine(stream, " with lamp efficacy (including ballast)" + fmt::F(e.lampEfficacy, 5, 1) + " lm/w");
    });
}

void writeRoadLightingSections(const RunInputs& in, const RunResult& result) {
    const RoadInstallation road = roadInstallation(in.installation);
    const RoadLightingResult& r = result.road;
    writeGridData(Stream::Console, r.grid, road);
    writeGridData(Stream::Report, r.grid, road);
    writeRoadLightingHeading(road.maintenanceFactor);
    writeRoadLightingBody(Stream::Console, r);
    writeRoadLightingBody(Stream::Report, r);
    writeEnergySection(r);
}

}  // namespace vl
