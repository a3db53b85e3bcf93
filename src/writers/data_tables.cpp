#include "writers/data_tables.hpp"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "text/format.hpp"
#include "writers/streams.hpp"

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
        fmt::appendF(line, x[i], 7, 2);
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
        fmt::appendF(line, v, rowFieldWidth(field), 2);
        ++field;
    }
    lines.push_back(line);
    return lines;
}

void writeMapTable(std::initializer_list<std::string_view> titles, const GridMap& map, bool singlePrecision,
                   const ComputationGrid& grid, const InstallationData& installation) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;

    dataText(" ");
    for (std::string_view title : titles) dataText(title);

    std::vector<double> x;
    x.reserve(static_cast<std::size_t>(nX > 0 ? nX : 0));
    for (int i = 1; i <= nX; ++i) {
        x.push_back(grid.offsetX + (installation.spacing * static_cast<double>(i - 1)) / static_cast<double>(nX));
    }
    for (const std::string& line : mapAxisLines(x)) writeLine(Stream::Data, line);
    dataText(" ");

    std::vector<double> values(static_cast<std::size_t>(nX > 0 ? nX : 0));
    for (int j = nY; j >= 1; --j) {
        const double y = grid.offsetY + (installation.roadWidth * static_cast<double>(j - 1)) / static_cast<double>(nY);
        for (int i = 0; i < nX; ++i) {
            const double v = map(i, j - 1);
            values[static_cast<std::size_t>(i)] = singlePrecision ? fmt::single(v) : v;
        }
        for (const std::string& line : mapRowLines(y, values)) writeLine(Stream::Data, line);
    }
}

std::string listingRow(double a, double b, double c) {
    std::string line;
    line.reserve(40);
    fmt::appendF(line, a, 10, 2);
    fmt::appendF(line, b, 15, 2);
    fmt::appendF(line, c, 15, 2);
    return line;
}

namespace {

void listingHead(std::initializer_list<std::string_view> titles, std::string_view heading) {
    dataText(" ");
    for (std::string_view title : titles) dataText(title);
    dataText(" ");
    dataText(heading);
    dataText(" ");
}

void writeSurfaceListing(const ReducedLuminanceTable& t) {
    listingHead({"Input road reduced coefficients"}, " Beta-angle    Tan Gamma    reduced coeff");
    for (int k = 0; k < t.betaCount; ++k) {
        for (int m = 0; m < t.tanGammaCount; ++m) {
            writeLine(Stream::Data, listingRow(t.betaAngles[static_cast<std::size_t>(k)],
                                               t.tanGamma[static_cast<std::size_t>(m)], t.r(k, m)));
        }
    }
}

void writePhotometryListing(const PhotometryTable& p, std::initializer_list<std::string_view> titles,
                            const std::vector<double>& table) {
    listingHead(titles, " C-angle    Gamma-angle   Intensity per unit lamp flux");
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    // The angle fields repeat down the listing: each is formatted once.
    std::vector<std::string> gammaFields;
    for (int m = 0; m < nG; ++m) {
        gammaFields.push_back(fmt::F(cellValue(p.gammaAngles, static_cast<std::size_t>(m)), 15, 2));
    }
    std::string line;
    for (int l = 0; l < nC; ++l) {
        const std::string cField = fmt::F(cellValue(p.cAngles, static_cast<std::size_t>(l)), 10, 2);
        for (int m = 0; m < nG; ++m) {
            const auto index = static_cast<std::size_t>(l) + static_cast<std::size_t>(nC) * static_cast<std::size_t>(m);
            // listingRow(C, gamma, I)
            line = cField;
            line += gammaFields[static_cast<std::size_t>(m)];
            fmt::appendF(line, cellValue(table, index), 15, 2);
            writeLine(Stream::Data, line);
        }
    }
}

}  // namespace

void writeDataTables(const RunInputs& in, const RunResult& result) {
    const RoadLightingResult& r = result.road;
    const ComputationGrid& g = r.grid;
    const InstallationData& i = in.installation;

    writeMapTable({"Maintained Luminance at infinity and omega=0 (cd/m^2)"}, r.luminanceAtInfinity, false, g, i);
    writeMapTable({"Maintained Observed Luminance  (cd/m^2)", "observer 1"}, r.luminanceObserver1, false, g, i);
    writeMapTable({"Maintained Observed Luminance  (cd/m^2)", "observer 2"}, r.luminanceObserver2, false, g, i);
    writeMapTable({"Maintained Illuminance (lm/m^2)"}, r.horizontalIlluminance, false, g, i);
    writeMapTable({"Veiling luminance at initial state (cd/m^2)"}, r.veilingLuminance, false, g, i);
    writeMapTable({"Maintained semicilindrical illuminance (lx)"}, r.semicylindricalIlluminance, false, g, i);
    writeMapTable({"Glare Index GR"}, r.glareRating, true, g, i);

    const PhotometryTable& p = in.photometry;
    writeSurfaceListing(in.surface);
    writePhotometryListing(p, {"Eulumdat luminaire photometry (cd/klm)"}, p.intensity);
    writePhotometryListing(p, {"Effective luminaire photometry (cd/klm)", "accounting for luminaire tilt"},
                           result.rotated.rotatedIntensity);
    const int nG = p.gammaCount;
    if (nG > 0 && cellValue(p.gammaAngles, static_cast<std::size_t>(nG - 1)) == 180.0) {
        writePhotometryListing(p, {"Road (estimated) photometry (cd/klm)"}, result.scattering.roadEstimatedPhotometry);
    }

    reportFile().close();
}

}  // namespace vl
