#include "writers/luminaire_echo.hpp"

#include <cstddef>
#include <vector>

#include "writers/format.hpp"
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
