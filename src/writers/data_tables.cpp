#include "writers/data_tables.hpp"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

constexpr int kAxisPerLine = 100;  // '  y/x     ', 100F7.2
constexpr int kRowFields = 101;    // F7.2, F10.2, 99F7.2

void dataText(std::string_view text) { listText(Stream::Data, text); }

// Width of field k (0-based) of the row layout (F7.2, F10.2, 99F7.2).
int rowFieldWidth(int k) { return k == 1 ? 10 : 7; }

// A table value, 0 where the table holds fewer values than the photometry's cells.
double cellValue(const std::vector<double>& table, std::size_t index) {
    return index < table.size() ? table[index] : 0.0;
}

}  // namespace

std::vector<std::string> mapAxisLines(const std::vector<double>& x) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (i % kAxisPerLine == 0) {
            if (i > 0) lines.push_back(line);
            line = "  y/x     ";
        }
        line += fmt::F(x[i], 7, 2);
    }
    if (!x.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> mapRowLines(double y, const std::vector<double>& values) {
    // The items are y and the values; the layout restarts from its first field when
    // it is used up, so a continuation line holds values only.
    std::vector<std::string> lines;
    std::string line = fmt::F(y, 7, 2);
    int field = 1;
    for (double v : values) {
        if (field == kRowFields) {
            lines.push_back(line);
            line.clear();
            field = 0;
        }
        line += fmt::F(v, rowFieldWidth(field), 2);
        ++field;
    }
    lines.push_back(line);
    return lines;
}

void writeMapTable(std::initializer_list<std::string_view> titles, const GridMap& map, bool singlePrecision) {
    const ComputationState& s = state();
    const int nX = s.grid.pointsAlongX;
    const int nY = s.grid.pointsAlongY;

    dataText(" ");
    for (std::string_view title : titles) dataText(title);

    std::vector<double> x;
    x.reserve(static_cast<std::size_t>(nX > 0 ? nX : 0));
    for (int i = 1; i <= nX; ++i) {
        x.push_back(s.grid.offsetX + (s.installation.spacing * static_cast<double>(i - 1)) / static_cast<double>(nX));
    }
    for (const std::string& line : mapAxisLines(x)) writeLine(Stream::Data, line);
    dataText(" ");

    std::vector<double> values(static_cast<std::size_t>(nX > 0 ? nX : 0));
    for (int j = nY; j >= 1; --j) {
        const double y =
            s.grid.offsetY + (s.installation.roadWidth * static_cast<double>(j - 1)) / static_cast<double>(nY);
        for (int i = 0; i < nX; ++i) {
            const double v = map[static_cast<std::size_t>(i)][static_cast<std::size_t>(j - 1)];
            values[static_cast<std::size_t>(i)] = singlePrecision ? fmt::single(v) : v;
        }
        for (const std::string& line : mapRowLines(y, values)) writeLine(Stream::Data, line);
    }
}

std::string listingRow(double a, double b, double c) { return fmt::F(a, 10, 2) + fmt::F(b, 15, 2) + fmt::F(c, 15, 2); }

namespace {

void listingHead(std::initializer_list<std::string_view> titles, std::string_view heading) {
    dataText(" ");
    for (std::string_view title : titles) dataText(title);
    dataText(" ");
    dataText(heading);
    dataText(" ");
}

void writeSurfaceListing() {
    const ReducedLuminanceTable& t = state().surface;
    listingHead({"Input road reduced coefficients"}, " Beta-angle    Tan Gamma    reduced coeff");
    for (int k = 0; k < t.betaCount; ++k) {
        for (int m = 0; m < t.tanGammaCount; ++m) {
            writeLine(Stream::Data, listingRow(t.betaAngles[static_cast<std::size_t>(k)],
                                               t.tanGamma[static_cast<std::size_t>(m)], t.r(k, m)));
        }
    }
}

void writePhotometryListing(std::initializer_list<std::string_view> titles, const std::vector<double>& table) {
    const PhotometryTable& p = state().photometry;
    listingHead(titles, " C-angle    Gamma-angle   Intensity per unit lamp flux");
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    for (int l = 0; l < nC; ++l) {
        for (int m = 0; m < nG; ++m) {
            const auto index = static_cast<std::size_t>(l) + static_cast<std::size_t>(nC) * static_cast<std::size_t>(m);
            writeLine(Stream::Data, listingRow(cellValue(p.cAngles, static_cast<std::size_t>(l)),
                                               cellValue(p.gammaAngles, static_cast<std::size_t>(m)),
                                               cellValue(table, index)));
        }
    }
}

}  // namespace

void writeDataTables() {
    const ComputationState& s = state();
    const ResultMaps& maps = s.maps;

    writeMapTable({"Maintained Luminance at infinity and omega=0 (cd/m^2)"}, maps.luminanceAtInfinity, false);
    writeMapTable({"Maintained Observed Luminance  (cd/m^2)", "observer 1"}, maps.luminanceObserver1, false);
    writeMapTable({"Maintained Observed Luminance  (cd/m^2)", "observer 2"}, maps.luminanceObserver2, false);
    writeMapTable({"Maintained Illuminance (lm/m^2)"}, maps.horizontalIlluminance, false);
    writeMapTable({"Veiling luminance at initial state (cd/m^2)"}, maps.veilingLuminance, false);
    writeMapTable({"Maintained semicilindrical illuminance (lx)"}, maps.semicylindricalIlluminance, false);
    writeMapTable({"Glare Index GR"}, maps.glareRating, true);

    writeSurfaceListing();
    writePhotometryListing({"Eulumdat luminaire photometry (cd/klm)"}, s.photometry.intensity);
    writePhotometryListing({"Effective luminaire photometry (cd/klm)", "accounting for luminaire tilt"},
                           s.rotated.rotatedIntensity);
    const int nG = s.photometry.gammaCount;
    if (nG > 0 && cellValue(s.photometry.gammaAngles, static_cast<std::size_t>(nG - 1)) == 180.0) {
        writePhotometryListing({"Road (estimated) photometry (cd/klm)"}, s.pollution.roadEstimatedPhotometry);
    }

    reportFile().close();
}

}  // namespace vl
