#include "writers/luminaire_echo.hpp"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

constexpr std::size_t kFileNameWidth = 20;

bool reached(const EulumdatFile& file, EulumdatProgress stage) { return file.progress >= stage; }

// The listing's value at a 1-based gamma index; an index that no run set, or that lies
// outside this table, lists 0.
double listed(const std::vector<double>& values, int index, int count, int column, int ld) {
    if (index < 1 || index > count) return 0.0;
    const auto k = static_cast<std::size_t>(column) + static_cast<std::size_t>(ld) * static_cast<std::size_t>(index - 1);
    return k < values.size() ? values[k] : 0.0;
}

}  // namespace

void writeEulumdatEcho(const std::string& photometryFile, const EulumdatFile& file) {
    const EulumdatHeader& h = file.header;
    const DeclaredLuminaireData& d = file.table.declared;

    sectionHeading(Stream::Console, "Input luminaire:");
    sectionHeading(Stream::Report, "Input luminaire:");
    toConsoleAndReport(fmt::listText("Luminaire input data file " + fmt::padded(photometryFile, kFileNameWidth)));
    toConsoleAndReport(fmt::listText("  "));

    if (!reached(file, EulumdatProgress::Identification)) return;
    toConsoleAndReport(fmt::listText(h.identification));
    if (!reached(file, EulumdatProgress::LuminaireName)) return;
    toConsoleAndReport(fmt::listText(h.luminaireName));
    if (!reached(file, EulumdatProgress::Shape)) return;

    const std::vector<std::string> shape = {
        fmt::ListLine().text("ityp").integer(h.typeIndicator).str(),
        fmt::ListLine().text("isym").integer(h.symmetry).str(),
        " C samples    " + fmt::I(h.cPlanes, 3),
        " C delta     " + fmt::F(h.cStep, 7, 2),
        " Gamma samples" + fmt::I(h.gammaAngles, 3),
        " Gamma delta " + fmt::F(h.gammaStep, 7, 2),
    };
    for (const std::string& line : shape) writeLine(Stream::Console, line);
    for (const std::string& line : shape) writeLine(Stream::Report, line);
    if (!reached(file, EulumdatProgress::LampHead)) return;

    const std::vector<std::string> lamps = {
        " Conversion factor for luminous intensities CFLI" + fmt::F(h.conversionFactor, 7, 4),
        " Tilt angle during measurements (deg)" + fmt::F(d.measurementTilt, 7, 2),
        fmt::listText("  "),
        fmt::ListLine().text("Number of lamp sets").integer(h.lampSetCount).str(),
    };
    writeLine(Stream::Console, fmt::listText(" "));
    for (const std::string& line : lamps) writeLine(Stream::Console, line);
    writeLine(Stream::Report, fmt::listText("  "));
    for (const std::string& line : lamps) writeLine(Stream::Report, line);

    for (std::size_t k = 0; k < d.lampSets.size(); ++k) {
        const LampSet& lamp = d.lampSets[k];
        const bool last = k + 1 == d.lampSets.size();
        const int fields = last && !reached(file, EulumdatProgress::Angles) ? file.lastLampSetFields : 3;
        toConsoleAndReport(fmt::listText("type of lamp " + lamp.lampType));
        if (fields < 2) return;
        toConsoleAndReport(" total flux (lm)" + fmt::Itrunc(lamp.totalFlux, 6));
        if (fields < 3) return;
        toConsoleAndReport(" wattage (including ballast)" + fmt::Itrunc(lamp.wattage, 5));
    }
    if (!reached(file, EulumdatProgress::Angles)) return;
    const std::vector<double>& gamma = file.table.gammaAngles;
    toConsoleAndReport(" Maximum measured gamma" + fmt::Itrunc(gamma.empty() ? 0.0 : gamma.back(), 5));
}

namespace {

constexpr std::size_t kTextWidth = 60;   // the identification and luminaire name lines
constexpr std::size_t kLabelWidth = 78;  // a keyword or label line
constexpr const char* kNotInIes = " not in an IES file";

bool reached(const IesFile& file, IesProgress stage) { return file.progress >= stage; }

void toBoth(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) writeLine(Stream::Console, line);
    for (const std::string& line : lines) writeLine(Stream::Report, line);
}

// A label line of the file as it stands, one line of a [MORE] value each.
void addLabel(std::vector<std::string>& lines, const std::string& name, const std::string& value) {
    std::size_t start = 0;
    std::string key = "[" + name + "]";
    for (;;) {
        const std::size_t end = value.find('\n', start);
        const std::string part = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string line = part.empty() ? key : key + " " + part;
        lines.push_back(fmt::listText(line.substr(0, std::min(line.size(), kLabelWidth))));
        if (end == std::string::npos) break;
        start = end + 1;
        key = "[MORE]";
    }
}

std::string symmetryName(const std::vector<double>& h) {
    if (h.size() == 1) return "rotational symmetry";
    if (h.back() == 90.0) return "symmetric in each quadrant";
    if (h.front() == 0.0 && h.back() == 180.0) return "symmetric about the plane H 0-180";
    if (h.front() == 90.0) return "symmetric about the plane H 90-270";
    return "no symmetry";
}

}  // namespace

void writeIesEcho(const std::string& photometryFile, const IesFile& file) {
    const IesHeader& h = file.header;
    const PhotometryTable& t = file.table;

    sectionHeading(Stream::Console, "Input luminaire:");
    sectionHeading(Stream::Report, "Input luminaire:");
    toConsoleAndReport(fmt::listText("Luminaire input data file " + fmt::padded(photometryFile, kFileNameWidth)));
    toConsoleAndReport(fmt::listText("  "));
    if (!reached(file, IesProgress::Label)) return;

    std::vector<std::string> label = {
        fmt::listText(fmt::padded(h.identification(), kTextWidth)),
        fmt::listText(fmt::padded(h.luminaireName(), kTextWidth)),
        fmt::listText("IES " + std::string(iesVersionName(h.version)) + " file, label:"),
    };
    for (const std::string& line : h.labelLines) {
        label.push_back(fmt::listText(line.substr(0, std::min(line.size(), kLabelWidth))));
    }
    for (const IesKeyword& k : h.keywords) addLabel(label, k.name, k.value);
    toBoth(label);
    if (!reached(file, IesProgress::Tilt)) return;

    std::vector<std::string> tilt;
    if (h.tilt.included) {
        tilt.push_back(fmt::ListLine()
                           .text("TILT=INCLUDE, lamp-to-luminaire geometry")
                           .integer(h.tilt.lampToLuminaireGeometry)
                           .str());
        tilt.push_back(fmt::listText("lamp tilt angle (deg) and output factor, not applied:"));
        for (std::size_t k = 0; k < h.tilt.angles.size(); ++k) {
            tilt.push_back(fmt::F(h.tilt.angles[k], 12, 2) + fmt::F(h.tilt.factors[k], 10, 4));
        }
    } else {
        tilt.push_back(fmt::listText("TILT=NONE"));
    }
    toBoth(tilt);
    if (!reached(file, IesProgress::Counts)) return;

    std::vector<std::string> shape = {
        fmt::listText(std::string("ityp") + kNotInIes),
        fmt::listText(std::string("isym") + kNotInIes),
        fmt::ListLine().text("photometric type C, units type").integer(h.unitsType).text(h.unitsType == 1 ? "(feet)" : "(metres)").str(),
    };
    if (reached(file, IesProgress::Angles)) {
        const std::vector<double>& hz = h.horizontalAngles;
        const std::vector<double>& v = h.verticalAngles;
        shape.push_back(fmt::ListLine()
                            .text("horizontal angles H")
                            .real(hz.front())
                            .text("to")
                            .real(hz.back())
                            .text("(" + std::to_string(hz.size()) + "), " + symmetryName(hz))
                            .str());
        shape.push_back(fmt::ListLine()
                            .text("vertical angles")
                            .real(v.front())
                            .text("to")
                            .real(v.back())
                            .text("(" + std::to_string(v.size()) + ")" +
                                  (v.front() == 90.0 ? ", no light below 90" : ""))
                            .str());
        shape.push_back(" Rotation C = H + R, R (deg)" + fmt::F(h.rotation, 9, 2));
        if (h.interpolatedPlane) shape.push_back(fmt::listText("plane C = 0 interpolated: no horizontal angle turns onto it"));
        shape.push_back(" C samples    " + fmt::I(t.cCount - 1, 3));
        shape.push_back(" C delta     " + fmt::F(t.cStep, 7, 2));
        shape.push_back(" Gamma samples" + fmt::I(t.gammaCount, 3));
        shape.push_back(" Gamma delta " + fmt::F(t.gammaStep, 7, 2));
    }
    toBoth(shape);
    if (!reached(file, IesProgress::Factors)) return;

    std::vector<std::string> lamps = {
        std::string(" Conversion factor for luminous intensities CFLI") + kNotInIes,
        " Candela multiplier" + fmt::F(h.candelaMultiplier, 10, 4),
        " Ballast factor" + fmt::F(h.ballastFactor, 14, 4),
    };
    if (h.secondFactorApplies()) {
        lamps.push_back(" Ballast-lamp photometric factor" + fmt::F(h.secondFactor, 10, 4));
    } else if (h.version == IesVersion::Lm63_2019) {
        lamps.push_back(" File generation type" + fmt::F(h.secondFactor, 10, 5) + " (not a factor)");
    }
    lamps.push_back(std::string(" Tilt angle during measurements (deg)") + kNotInIes);
    lamps.push_back(fmt::listText("  "));
    lamps.push_back(fmt::ListLine().text("Number of lamp sets").integer(1).str());
    const LampSet* lamp = t.declared.lampSets.empty() ? nullptr : &t.declared.lampSets.back();
    lamps.push_back(fmt::listText("type of lamp " + (lamp != nullptr ? lamp->lampType : fmt::padded(h.keywordText("LAMP"), 20))));
    if (h.absolute) {
        lamps.push_back(fmt::listText("absolute photometry (lumens per lamp -1): intensities per klm of the"));
        lamps.push_back(fmt::listText("luminaire flux integrated from the file"));
        if (lamp != nullptr) lamps.push_back(" total flux (lm)" + fmt::Itrunc(lamp->totalFlux, 6));
    } else {
        lamps.push_back(fmt::ListLine().text("number of lamps").integer(h.lampCount).text("lumens per lamp").real(h.lumensPerLamp).str());
        lamps.push_back(" total flux (lm)" + fmt::Itrunc(h.lampCount * h.lumensPerLamp, 6));
    }
    lamps.push_back(" wattage (including ballast)" + fmt::Itrunc(h.inputWatts, 5));
    writeLine(Stream::Console, fmt::listText(" "));
    writeLine(Stream::Report, fmt::listText("  "));
    toBoth(lamps);
    if (!reached(file, IesProgress::Angles)) return;
    toConsoleAndReport(" Maximum measured gamma" + fmt::Itrunc(t.lastGamma(), 5));
}

void writeOriginalPhotometry(const PhotometryTable& p, ListingIndices indices) {
    const int nc = p.cCount;
    const int ng = p.gammaCount;
    const std::string gammaLine = " at gamma=               " +
                                  fmt::F(listed(p.gammaAngles, indices.index30, ng, 0, 1), 7, 1) +
                                  fmt::F(listed(p.gammaAngles, indices.index70, ng, 0, 1), 15, 1);
    for (Stream stream : {Stream::Console, Stream::Data}) {
        listText(stream, "    ");
        listText(stream, fmt::repeat('-', 54));
        listText(stream, "Original photometry");
        listText(stream, "");
        listText(stream, "C-angle   fixture intensity (cd/klm)");
        writeLine(stream, gammaLine);
        listText(stream, "");
    }
    for (int i = 0; i < nc; ++i) {
        const std::string row = fmt::F(p.cAngles[static_cast<std::size_t>(i)], 17, 1) +
                                fmt::F(listed(p.intensity, indices.index30, ng, i, nc), 15, 1) +
                                fmt::F(listed(p.intensity, indices.index70, ng, i, nc), 15, 1);
        writeLine(Stream::Console, row);
        writeLine(Stream::Data, row);
    }
}

}  // namespace vl
