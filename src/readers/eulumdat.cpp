// Eulumdat reader: the head, lamp sets and direct ratios by line position, then the
// angle lists and the stored intensity planes, expanded by the symmetry indicator into
// a full table over C = 0..360 with a closing plane at 360 deg.
#include "readers/eulumdat.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

constexpr std::size_t kTextWidth = 60;      // lines 1 and 9
constexpr std::size_t kLampTypeWidth = 20;  // type of lamps
constexpr int kDirectRatioLines = 10;
constexpr int kMaxAxis = 200;  // C planes (with the closing one) and gamma angles

// The next line by position; the end of the file is a read error.
std::string positionalLine(InputFile& file, std::string_view what) {
    auto line = file.nextLine();
    if (!line) file.failAtEnd(what);
    return *line;
}

// The first item of a line, which must be an unquoted value.
std::string firstValueItem(InputFile& file, const std::string& line, std::string_view what) {
    SplitLine split = splitItems(line);
    if (split.items.empty() || split.items[0].kind == FreeItem::Kind::Null || split.items[0].quoted) {
        file.fail(what, line.find_first_not_of(" \t\r") == std::string::npos ? "an empty line" : "no value");
    }
    return split.items[0].text;
}

double realOnLine(InputFile& file, std::string_view what) {
    const std::string line = positionalLine(file, what);
    const std::string item = firstValueItem(file, line, what);
    auto value = parseReal(item);
    if (!value) file.fail(std::string(what) + " (a number)", "\"" + item.substr(0, 40) + "\"");
    return *value;
}

int integerOnLine(InputFile& file, std::string_view what) {
    const std::string line = positionalLine(file, what);
    const std::string item = firstValueItem(file, line, what);
    auto value = parseInteger(item);
    if (!value) file.fail(std::string(what) + " (an integer)", "\"" + item.substr(0, 40) + "\"");
    return static_cast<int>(*value);
}

// A line taken as it stands, cut or blank-padded to width characters.
std::string fixedText(const std::string& line, std::size_t width) {
    std::string text = line.substr(0, std::min(width, line.size()));
    text.resize(width, ' ');
    return text;
}

// The table bounds: nC = Mc + 1 and nG at most 200, and a table needs at least one
// stored plane and two gamma angles.
void checkDimensions(const std::string& fileName, int mc, int ng) {
    const std::string head = "Eulumdat file " + fileName + ": ";
    if (mc < 1) {
        throw InputRefusal(head + "number of C planes Mc = " + std::to_string(mc) + " is below 1");
    }
    if (mc + 1 > kMaxAxis) {
        throw InputRefusal(head + "number of C planes Mc = " + std::to_string(mc) + ": Mc + 1 exceeds " +
                               std::to_string(kMaxAxis));
    }
    if (ng < 2) {
        throw InputRefusal(head + "number of gamma angles Ng = " + std::to_string(ng) + " is below 2");
    }
    if (ng > kMaxAxis) {
        throw InputRefusal(head + "number of gamma angles Ng = " + std::to_string(ng) + " exceeds " +
                               std::to_string(kMaxAxis));
    }
}

// Every lookup divides by the steps of an axis: it must ascend strictly.
void checkAscending(const std::string& fileName, const std::vector<double>& axis, std::size_t count,
                    std::string_view name, std::string_view bound) {
    for (std::size_t k = 1; k < count; ++k) {
        if (!(axis[k] > axis[k - 1])) {
            throw InputRefusal("Eulumdat file " + fileName + ": " + std::string(name) + " must ascend strictly" +
                                   std::string(bound) + " (" + fmt::freeReal(axis[k]) + " follows " +
                                   fmt::freeReal(axis[k - 1]) + ")");
        }
    }
}

[[noreturn]] void notAllowed() { throw InputRefusal("not allowed input file"); }

// One stored plane of Ng values, one per line.
void readPlane(InputFile& file, std::vector<double>& target, int ld, int column, int ng) {
    for (int j = 0; j < ng; ++j) {
        target[static_cast<std::size_t>(column + ld * j)] = file.readReal();
    }
}

// Reads the stored planes and completes the table over nC = Mc + 1 columns (C the fast
// index, 0-based storage; the formulas count from 1 as the symmetry rules are stated).
void readIntensities(InputFile& file, PhotometryTable& p, int symmetry, int mc, int ng) {
    const int nc = mc + 1;
    std::vector<double>& t = p.intensity;
    auto at = [&](std::vector<double>& table, int i1, int j) -> double& {
        // i1 counts from 1; the formulas below stay inside 1..nC for every Mc >= 1.
        const int i = std::clamp(i1, 1, nc) - 1;
        return table[static_cast<std::size_t>(i + nc * j)];
    };
    const int h = mc / 2;
    const int q = mc / 4;
    switch (symmetry) {
        case 0:  // no symmetry
            for (int i = 0; i < mc; ++i) readPlane(file, t, nc, i, ng);
            for (int j = 0; j < ng; ++j) at(t, mc + 1, j) = at(t, 1, j);
            break;
        case 1:  // rotational symmetry
            readPlane(file, t, nc, 0, ng);
            for (int i = 2; i <= mc + 1; ++i) {
                for (int j = 0; j < ng; ++j) at(t, i, j) = at(t, 1, j);
            }
            break;
        case 2:  // symmetric about C0-C180
            for (int i = 0; i <= h; ++i) readPlane(file, t, nc, i, ng);
            for (int k = 1; k <= h + 1; ++k) {
                for (int j = 0; j < ng; ++j) at(t, mc + 2 - k, j) = at(t, k, j);
            }
            break;
        case 3: {  // symmetric about C90-C270: planes 270 .. 0 .. 90 in the file
            std::vector<double> scratch(t.size(), 0.0);
            for (int plane = 1; plane <= h + 1; ++plane) readPlane(file, scratch, nc, h + 2 - plane - 1, ng);
            for (int j = 0; j < ng; ++j) {
                for (int k = 1; k <= h + 1; ++k) at(t, q + k, j) = at(scratch, k, j);
                for (int k = 1; k <= q + 1; ++k) at(t, q + 2 - k, j) = at(scratch, k, j);
                for (int k = 1; k <= h - q + 1; ++k) at(t, mc + 2 - k, j) = at(scratch, q + k, j);
            }
            break;
        }
        case 4:  // symmetric about both planes: one quadrant 0..90 in the file
            for (int plane = 1; plane <= q + 1; ++plane) {
                for (int j = 0; j < ng; ++j) {
                    const double value = file.readReal();
                    at(t, plane, j) = value;
                    at(t, h + 2 - plane, j) = value;
                    at(t, h + plane, j) = value;
                    at(t, mc + 2 - plane, j) = value;
                }
            }
            break;
        default:
            notAllowed();
    }
}

}  // namespace

PhotometryDimensions readEulumdatDimensions(const std::string& fileName) {
    InputFile file(fileName, 6);  // Mc and Ng are on lines 4 and 6
    PhotometryDimensions dims;
    positionalLine(file, "header line 1");
    positionalLine(file, "header line 2");
    positionalLine(file, "header line 3");
    dims.cPlanes = integerOnLine(file, "the number of C planes Mc");
    positionalLine(file, "header line 5");
    dims.gammaAngles = integerOnLine(file, "the number of gamma angles Ng");
    checkDimensions(fileName, dims.cPlanes, dims.gammaAngles);
    return dims;
}

void readEulumdat(const std::string& fileName, EulumdatFile& out) {
    EulumdatHeader& h = out.header;
    PhotometryTable& p = out.table;
    InputFile file(fileName);

    // Line 1: identification (a byte order mark in front of it is kept as it stands).
    h.identificationLine = positionalLine(file, "header line 1");
    h.identification = fixedText(h.identificationLine, kTextWidth);
    out.progress = EulumdatProgress::Identification;

    h.typeIndicator = integerOnLine(file, "Ityp");
    h.symmetry = integerOnLine(file, "Isym");
    const int mc = integerOnLine(file, "the number of C planes Mc");
    h.cPlanes = mc;
    h.cStep = realOnLine(file, "Dc");
    const int ng = integerOnLine(file, "the number of gamma angles Ng");
    h.gammaAngles = ng;
    h.gammaStep = realOnLine(file, "Dg");
    checkDimensions(fileName, mc, ng);
    out.progress = EulumdatProgress::Dimensions;

    h.reportNumber = positionalLine(file, "header line 8");
    h.luminaireNameLine = positionalLine(file, "header line 9");
    h.luminaireName = fixedText(h.luminaireNameLine, kTextWidth);
    out.progress = EulumdatProgress::LuminaireName;
    h.luminaireNumber = positionalLine(file, "header line 10");
    h.fileName = positionalLine(file, "header line 11");
    h.dateUser = positionalLine(file, "header line 12");
    out.progress = EulumdatProgress::Shape;

    for (int line = 13; line <= 21; ++line) {
        h.dimensions[static_cast<std::size_t>(line - 13)] = positionalLine(file, "header line " + std::to_string(line));
    }
    DeclaredLuminaireData& d = p.declared;
    d.downwardFluxFactor = realOnLine(file, "DFF");
    d.lightOutputRatio = realOnLine(file, "LORL");
    h.conversionFactor = realOnLine(file, "CFLI");
    if (h.conversionFactor != 1.0) notAllowed();
    d.measurementTilt = realOnLine(file, "the tilt during measurement");
    // A count below 1 reads no lamp-set lines.
    h.lampSetCount = integerOnLine(file, "the number of lamp sets");
    out.progress = EulumdatProgress::LampHead;

    out.progress = EulumdatProgress::LampSets;
    for (int set = 0; set < h.lampSetCount; ++set) {
        LampSet lamp;
        lamp.lampCount = positionalLine(file, "the number of lamps");
        h.lampTypeLines.push_back(positionalLine(file, "the type of lamps"));
        lamp.lampType = fixedText(h.lampTypeLines.back(), kLampTypeWidth);
        d.lampSets.push_back(lamp);
        out.lastLampSetFields = 1;
        d.lampSets.back().totalFlux = realOnLine(file, "the total luminous flux of the lamps");
        out.lastLampSetFields = 2;
        d.lampSets.back().colourTemperature = positionalLine(file, "the colour temperature");
        d.lampSets.back().colourRendering = positionalLine(file, "the colour rendering");
        d.lampSets.back().wattage = realOnLine(file, "the wattage including ballast");
        out.lastLampSetFields = 3;
    }
    for (int k = 0; k < kDirectRatioLines; ++k) {
        h.directRatios[static_cast<std::size_t>(k)] = positionalLine(file, "the direct ratios");
    }

    const int nc = mc + 1;
    const auto cells = static_cast<std::size_t>(nc) * static_cast<std::size_t>(ng);
    p.cCount = nc;
    p.gammaCount = ng;
    p.cStep = h.cStep;
    p.gammaStep = h.gammaStep;
    p.cAngles.assign(static_cast<std::size_t>(nc), 0.0);
    p.gammaAngles.assign(static_cast<std::size_t>(ng), 0.0);
    p.intensity.assign(cells, 0.0);

    for (int i = 0; i < mc; ++i) p.cAngles[static_cast<std::size_t>(i)] = file.readReal();
    p.cAngles[static_cast<std::size_t>(mc)] = 360.0;
    checkAscending(fileName, p.cAngles, static_cast<std::size_t>(nc), "the C angles", " below 360");
    for (int j = 0; j < ng; ++j) p.gammaAngles[static_cast<std::size_t>(j)] = file.readReal();
    checkAscending(fileName, p.gammaAngles, static_cast<std::size_t>(ng), "the gamma angles", "");
    out.progress = EulumdatProgress::Angles;

    readIntensities(file, p, h.symmetry, mc, ng);
    out.progress = EulumdatProgress::Complete;
    warnLeftOverValues(file, "Mc " + std::to_string(mc) + " C planes, Ng " + std::to_string(ng) +
                                 " gamma angles and the intensities of symmetry Isym " + std::to_string(h.symmetry));
}

}  // namespace vl
