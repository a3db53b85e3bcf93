#include "writers/ies_file.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include "readers/text_input.hpp"
#include "writers/eulumdat_file.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

constexpr std::size_t kLineWidth = 256;  // LM-63-2002
constexpr std::size_t kValuesPerLine = 10;
constexpr int kCandelaDecimals = 3;

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void addTexts(std::vector<std::string>& lines, const std::vector<std::string>& texts) {
    std::string line;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        if (!line.empty()) line += ' ';
        line += texts[k];
        if ((k + 1) % kValuesPerLine == 0 || k + 1 == texts.size()) {
            lines.push_back(line);
            line.clear();
        }
    }
}

void addValues(std::vector<std::string>& lines, const std::vector<double>& values, int decimals) {
    std::vector<std::string> texts;
    for (double v : values) texts.push_back(fmt::compact(v, decimals));
    addTexts(lines, texts);
}

struct LampFigures {
    int lamps = 1;
    double lumens = 1000.0;  // per lamp; -1: absolute photometry
    double flux = 1000.0;    // the flux the intensities are per klm of
    double watts = 0.0;
};

LampFigures lampFigures(const DeclaredLuminaireData& d) {
    LampFigures f;
    if (d.lampSets.empty()) return f;
    const LampSet& lamp = d.lampSets.back();
    f.watts = lamp.wattage;
    if (!(lamp.totalFlux > 0.0) || !std::isfinite(lamp.totalFlux)) return f;
    const SplitLine items = splitItems(lamp.lampCount);
    long long count = 1;
    if (!items.items.empty() && items.items[0].kind == FreeItem::Kind::Value) {
        count = parseInteger(items.items[0].text).value_or(1);
    }
    f.flux = lamp.totalFlux;
    if (count < 0) {
        f.lamps = static_cast<int>(std::min<long long>(-count, 1000000));
        f.lumens = -1.0;
    } else {
        f.lamps = static_cast<int>(std::clamp<long long>(count, 1, 1000000));
        f.lumens = f.flux / f.lamps;
    }
    return f;
}

}  // namespace

bool iesVerticalSet(const PhotometryTable& t) {
    if (t.gammaCount < 2) return false;
    const double first = t.gammaAngles.front();
    const double last = t.gammaAngles.back();
    return (first == 0.0 && (last == 90.0 || last == 180.0)) || (first == 90.0 && last == 180.0);
}

bool writeIesFile(const std::string& path, const PhotometryTable& t, const IesText& text) {
    const int mc = t.cCount - 1;
    // The planes written: those of the symmetry's range.
    std::vector<int> planes;
    const int symmetry = eulumdatSymmetry(t);
    for (int i = 0; i <= mc; ++i) {
        const double c = t.cAngles[static_cast<std::size_t>(i)];
        const bool keep = symmetry == 1   ? i == 0
                          : symmetry == 4 ? c <= 90.0
                          : symmetry == 2 ? c <= 180.0
                          : symmetry == 3 ? c >= 90.0 && c <= 270.0
                                          : true;
        if (keep) planes.push_back(i);
    }

    std::vector<std::string> lines{"IESNA:LM-63-2002"};
    std::vector<IesKeyword> keywords;
    for (const char* required : {"TEST", "TESTLAB", "ISSUEDATE", "MANUFAC"}) {
        bool present = false;
        for (const IesKeyword& k : text.keywords) present = present || upper(k.name) == required;
        if (!present) keywords.push_back({required, ""});
    }
    keywords.insert(keywords.end(), text.keywords.begin(), text.keywords.end());
    for (const IesKeyword& k : keywords) {
        std::string name = k.name;
        std::size_t start = 0;
        do {
            const std::size_t end = k.value.find('\n', start);
            const std::string part = k.value.substr(start, end == std::string::npos ? std::string::npos : end - start);
            std::string line = "[" + name + "]";
            if (!part.empty()) line += " " + part;
            lines.push_back(line.substr(0, std::min(line.size(), kLineWidth)));
            name = "MORE";
            start = end == std::string::npos ? k.value.size() + 1 : end + 1;
        } while (start <= k.value.size());
    }
    lines.push_back("TILT=NONE");

    const LampFigures lamp = lampFigures(t.declared);
    lines.push_back(std::to_string(lamp.lamps) + " " + fmt::freeReal(lamp.lumens) + " 1.0 " +
                    std::to_string(t.gammaCount) + " " + std::to_string(planes.size()) + " 1 2 " +
                    fmt::freeReal(text.width) + " " + fmt::freeReal(text.length) + " " + fmt::freeReal(text.height));
    lines.push_back("1.0 1.0 " + fmt::freeReal(lamp.watts));
    addTexts(lines, angleTexts(t.gammaAngles));
    std::vector<double> horizontal;
    for (int i : planes) horizontal.push_back(t.cAngles[static_cast<std::size_t>(i)]);
    addTexts(lines, angleTexts(horizontal));
    const double toCandela = lamp.flux / 1000.0;
    for (int i : planes) {
        std::vector<double> values;
        for (int j = 0; j < t.gammaCount; ++j) values.push_back(t.I(i, j) * toCandela);
        addValues(lines, values, kCandelaDecimals);
    }

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    return static_cast<bool>(out);
}

}  // namespace vl
