// Eulumdat writer: the head by line position, one lamp set per declared set, the ten
// direct ratios, the angle lists and the planes the symmetry indicator stores.
#include "writers/eulumdat_file.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

constexpr std::size_t kLineWidth = 78;  // the longest text line of the format
constexpr int kAngleDecimals = 6;
constexpr int kIntensityDecimals = 3;

bool samePlane(const PhotometryTable& t, int a, int b) {
    for (int j = 0; j < t.gammaCount; ++j) {
        if (t.I(a, j) != t.I(b, j)) return false;
    }
    return true;
}

// Planes at i * 360 / Mc for i = 0..Mc.
bool equallySpaced(const PhotometryTable& t) {
    const int mc = t.cCount - 1;
    for (int i = 0; i <= mc; ++i) {
        if (std::fabs(t.cAngles[static_cast<std::size_t>(i)] - i * (360.0 / mc)) > 1e-9) return false;
    }
    return true;
}

// The plane index of the angle i * 360 / Mc reflected as `mirror(i)` around the circle.
template <typename Mirror>
bool repeats(const PhotometryTable& t, Mirror mirror) {
    const int mc = t.cCount - 1;
    for (int i = 0; i < mc; ++i) {
        const int k = ((mirror(i) % mc) + mc) % mc;
        if (!samePlane(t, i, k)) return false;
    }
    return true;
}

// A text field: its first line, cut to the format's width, without trailing blanks.
std::string text(const std::string& field) {
    std::string line = field.substr(0, field.find_first_of("\r\n"));
    line = line.substr(0, std::min(line.size(), kLineWidth));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return line;
}

}  // namespace

std::vector<std::string> angleTexts(const std::vector<double>& angles) {
    std::vector<std::string> texts;
    double before = -1e308;
    bool ascending = true;
    for (double a : angles) {
        texts.push_back(fmt::compact(a, kAngleDecimals));
        const double read = parseReal(texts.back()).value_or(before);
        ascending = ascending && read > before;
        before = read;
    }
    if (!ascending) {
        for (std::size_t k = 0; k < angles.size(); ++k) texts[k] = fmt::freeReal(angles[k]);
    }
    return texts;
}

int eulumdatSymmetry(const PhotometryTable& t) {
    const int mc = t.cCount - 1;
    if (mc < 1) return 0;
    bool round = true;
    for (int i = 1; i < mc && round; ++i) round = samePlane(t, 0, i);
    if (round) return 1;
    if (!equallySpaced(t) || mc % 2 != 0) return 0;
    const bool about0 = repeats(t, [&](int i) { return mc - i; });           // I(360 - C) = I(C)
    const bool about90 = mc % 4 == 0 && repeats(t, [&](int i) { return mc / 2 - i; });  // I(180 - C) = I(C)
    if (about0 && about90) return 4;
    if (about0) return 2;
    if (about90) return 3;
    return 0;
}

bool writeEulumdatFile(const std::string& path, const PhotometryTable& t, const EulumdatText& head) {
    std::vector<std::string> lines;
    const auto add = [&](const std::string& line) { lines.push_back(line); };
    const DeclaredLuminaireData& d = t.declared;
    const int mc = t.cCount - 1;
    const int isym = eulumdatSymmetry(t);
    const int ityp = head.typeIndicator >= 0 ? head.typeIndicator : (isym == 1 ? 1 : 3);
    const double dc = isym >= 2 ? 360.0 / mc : t.cStep;

    add(text(head.identification));
    add(std::to_string(ityp));
    add(std::to_string(isym));
    add(std::to_string(mc));
    add(fmt::compact(dc, kAngleDecimals));
    add(std::to_string(t.gammaCount));
    add(fmt::compact(t.gammaStep, kAngleDecimals));
    add(text(head.reportNumber));
    add(text(head.luminaireName));
    add(text(head.luminaireNumber));
    add(text(head.fileName));
    add(text(head.dateUser));
    for (const std::string& dimension : head.dimensions) add(text(dimension));
    add(fmt::compact(d.downwardFluxFactor, 2));
    add(fmt::compact(d.lightOutputRatio, 2));
    add("1.0");
    add(fmt::compact(d.measurementTilt, 2));
    add(std::to_string(d.lampSets.size()));
    for (const LampSet& lamp : d.lampSets) {
        add(text(lamp.lampCount));
        add(text(lamp.lampType));
        add(fmt::compact(lamp.totalFlux, 3));
        add(text(lamp.colourTemperature));
        add(text(lamp.colourRendering));
        add(fmt::compact(lamp.wattage, 3));
    }
    for (const std::string& ratio : head.directRatios) add(text(ratio));
    const std::vector<std::string> cTexts = angleTexts(t.cAngles);
    for (int i = 0; i < mc; ++i) add(cTexts[static_cast<std::size_t>(i)]);
    for (const std::string& g : angleTexts(t.gammaAngles)) add(g);

    std::vector<int> stored;  // the planes the file holds, in its order
    switch (isym) {
        case 1:
            stored = {0};
            break;
        case 2:
            for (int i = 0; i <= mc / 2; ++i) stored.push_back(i);
            break;
        case 3:  // C 270 through 0 to 90
            for (int p = 0; p <= mc / 2; ++p) stored.push_back((3 * mc / 4 + p) % mc);
            break;
        case 4:
            for (int i = 0; i <= mc / 4; ++i) stored.push_back(i);
            break;
        default:
            for (int i = 0; i < mc; ++i) stored.push_back(i);
    }
    for (int i : stored) {
        for (int j = 0; j < t.gammaCount; ++j) add(fmt::compact(t.I(i, j), kIntensityDecimals));
    }

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    return static_cast<bool>(out);
}

}  // namespace vl
