#include "core/surface/surface_table.hpp"

#include <cstddef>
#include <string>

#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "app/process_stop.hpp"
#include "readers/text_input.hpp"
#include "app/computation_state.hpp"

namespace vl {

namespace {

constexpr std::size_t kDescriptionLength = 78;
constexpr char kAgedAsphaltFile[] = "asphalt1_reflectance.dat";

// The class names the file by its two characters; trailing blanks of a short class
// are not part of the name.
std::string surfaceFileName(const std::string& surfaceClass) {
    std::string code = surfaceClass.substr(0, 2);
    while (!code.empty() && code.back() == ' ') code.pop_back();
    return "SRT_" + code;
}

void checkCount(const std::string& file, const char* what, int count, int largest) {
    if (count < 2 || count > largest) {
        stopWithConsoleMessage(file + ": " + what + " count " + std::to_string(count) + " is outside 2.." +
                               std::to_string(largest));
    }
}

// Every lookup on the axis brackets the query between two distinct values.
void checkAscending(const std::string& file, const char* what, const double* x, int count) {
    for (int i = 1; i < count; ++i) {
        if (!(x[i] > x[i - 1])) {
            stopWithConsoleMessage(file + ": " + what + " values are not strictly ascending (value " +
                                   std::to_string(i + 1) + " " + fmt::freeReal(x[i]) + " follows " +
                                   fmt::freeReal(x[i - 1]) + ")");
        }
    }
}

SplineTable2D surfaceSpline(ReducedLuminanceTable& table) {
    SplineTable2D spline;
    spline.x1 = table.betaAngles.data();
    spline.x2 = table.tanGamma.data();
    spline.y = table.rValues.data();
    spline.y2 = table.rSpline.data();
    spline.m = table.betaCount;
    spline.n = table.tanGammaCount;
    spline.ld = kMaxBeta;
    return spline;
}

}  // namespace

void readSurfaceTable(const std::string& surfaceClass) {
    sectionHeading(Stream::Console, "Input surface:");
    sectionHeading(Stream::Report, "Input surface:");

    const std::string fileName = surfaceFileName(surfaceClass);
    InputFile file(fileName);
    ReducedLuminanceTable& table = state().surface;

    file.readText(kDescriptionLength);  // line 1: the table's own name
    for (int line = 0; line < 3; ++line) {
        table.surfaceTitleLines[static_cast<std::size_t>(line)] = file.readText(kDescriptionLength);
        const std::string echo = fmt::listText(table.surfaceTitleLines[static_cast<std::size_t>(line)]);
        writeLine(Stream::Console, echo);
        writeLine(Stream::Report, echo);
    }
    table.surfaceTitleLines[3] = file.readText(kDescriptionLength);
    const std::string dataFileLine = fmt::ListLine().text("Data file").text(table.surfaceTitleLines[3]).str();
    writeLine(Stream::Console, dataFileLine);
    listText(Stream::Console, " ");
    writeLine(Stream::Report, dataFileLine);
    listText(Stream::Report, " ");

    for (int line = 6; line <= 10; ++line) file.readText(kDescriptionLength);
    for (int line = 11; line <= 13; ++line) file.readReal();
    const int betaCount = file.readInteger();
    const int tanGammaCount = file.readInteger();
    checkCount(fileName, "beta", betaCount, kMaxBeta);
    checkCount(fileName, "tan gamma", tanGammaCount, kMaxTanGamma);
    table.betaCount = betaCount;
    table.tanGammaCount = tanGammaCount;
    file.readReal();  // line 16: observer elevation

    for (int b = 0; b < betaCount; ++b) table.betaAngles[static_cast<std::size_t>(b)] = file.readReal();
    checkAscending(fileName, "beta", table.betaAngles.data(), betaCount);
    for (int t = 0; t < tanGammaCount; ++t) table.tanGamma[static_cast<std::size_t>(t)] = file.readReal();
    checkAscending(fileName, "tan gamma", table.tanGamma.data(), tanGammaCount);
    for (int b = 0; b < betaCount; ++b) {
        for (int t = 0; t < tanGammaCount; ++t) table.r(b, t) = file.readReal();
    }

    prepareSplineTable2D(surfaceSpline(table), 0.0);
}

void readAgedAsphaltTable() {
    InputFile file(kAgedAsphaltFile);
    AgedAsphaltCurve& curve = state().agedAsphalt;
    file.readText(kDescriptionLength);  // line 1: description
    curve.agedAsphaltFactor = file.readReal();
    file.readText(kDescriptionLength);  // line 3: description
    for (int i = 0; i < kAgedAsphaltPoints; ++i) curve.x[static_cast<std::size_t>(i)] = file.readReal();
    checkAscending(kAgedAsphaltFile, "x", curve.x.data(), kAgedAsphaltPoints);
    for (int i = 0; i < kAgedAsphaltPoints; ++i) curve.y[static_cast<std::size_t>(i)] = file.readReal();
    prepareSpline(curve.x.data(), curve.y.data(), kAgedAsphaltPoints, kNaturalEnd, kNaturalEnd, curve.y2.data());
}

double reducedLuminanceCoefficient(double beta, double tanGamma) {
    return evaluateSplineTable2D(surfaceSpline(state().surface), kNaturalEnd, 0.0, 0.0, beta, tanGamma);
}

double agedAsphaltReflectance(double gamma) {
    const AgedAsphaltCurve& curve = state().agedAsphalt;
    return evaluateSpline(curve.x.data(), curve.y.data(), curve.y2.data(), kAgedAsphaltPoints, gamma);
}

}  // namespace vl
