#include "writers/plot_images.hpp"

#include <cstddef>
#include <functional>
#include <vector>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

std::size_t cell(int l, int m, int nC) {
    return static_cast<std::size_t>(l) + static_cast<std::size_t>(nC) * static_cast<std::size_t>(m);
}

double valueAt(const std::vector<double>& table, std::size_t index) {
    return index < table.size() ? table[index] : 0.0;
}

void writeFluxLines(Stream stream, double reflected, double diffused, double total) {
    listText(stream, "3D plot, model road surface:");
    writeLine(stream, " upward road reflected %  " + fmt::F(reflected, 7, 2));
    writeLine(stream, " upward road diffused %   " + fmt::F(diffused, 7, 2));
    writeLine(stream, " total upward road flux %" + fmt::F(total, 7, 2));
}

// One image: rows m0..nG, each nC values in single precision.
void writeImage(const std::string& name, const PhotometryTable& p, int m0,
                const std::function<double(std::size_t)>& value) {
    const int nC = p.cCount;
    const int nG = p.gammaCount;
    OutputFile file;
    file.create(name);
    for (int m = m0; m < nG; ++m) {
        std::string line;
        line.reserve(static_cast<std::size_t>(nC) * 8);
        for (int l = 0; l < nC; ++l) fmt::appendF(line, fmt::single(value(cell(l, m, nC))), 8, 2);
        file.writeLine(line);
    }
    file.close();
}

}  // namespace

std::string plotImageFormat(int cCount) {
    std::string format = "(";
    format += fmt::I(cCount, 3);
    format += "F8.2)";
    return format;
}

void writePlotImages(const RunInfo& info, const RunInputs& in, const RunResult& result) {
    if (!result.plot) return;
    const PlotModel& plot = *result.plot;
    const PhotometryTable& p = in.photometry;
    const int nG = p.gammaCount;

    writeFluxLines(Stream::Console, plot.reflectedFluxPercent, plot.diffusedFluxPercent, plot.totalFluxPercent);
    listText(Stream::Data, fmt::repeat('-', 52));
    writeFluxLines(Stream::Data, plot.reflectedFluxPercent, plot.diffusedFluxPercent, plot.totalFluxPercent);

    const int m0 = plot.firstRow;
    const auto gammaAt = [&](int m) { return valueAt(p.gammaAngles, static_cast<std::size_t>(m)); };
    const std::string range = " First/last gamma angle" + fmt::F(gammaAt(m0), 7, 2) + fmt::F(gammaAt(nG - 1), 7, 2);
    writeLine(Stream::Console, range);
    writeLine(Stream::Data, range);

    const std::vector<double>& Ie = result.rotated.rotatedIntensity;
    const std::vector<double>& Re = result.scattering.roadEstimatedPhotometry;
    const std::vector<double>& Rt = plot.total;
    const std::string& stamp = info.runStamp;
    writeImage("uplmp_" + stamp + ".dat", p, m0, [&](std::size_t k) { return valueAt(Ie, k); });
    writeImage("uproa_" + stamp + ".dat", p, m0, [&](std::size_t k) { return valueAt(Re, k); });
    writeImage("uptot_" + stamp + ".dat", p, m0, [&](std::size_t k) { return valueAt(Ie, k) + valueAt(Re, k); });
    writeImage("upro2_" + stamp + ".dat", p, m0, [&](std::size_t k) { return valueAt(Rt, k); });
    writeImage("upto2_" + stamp + ".dat", p, m0, [&](std::size_t k) { return valueAt(Ie, k) + valueAt(Rt, k); });

    listText(Stream::Console, "Raw images for 3D plotting writted");
    listText(Stream::Data, "Raw images for 3D plotting writted");
}

}  // namespace vl
