#include "readers/surface_files.hpp"

#include <cstddef>
#include <string>

#include "core/refusal.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {

namespace {

constexpr std::size_t kDescriptionLength = 78;

void checkCount(const std::string& file, const char* what, int count, int largest) {
    if (count < 2 || count > largest) {
        throw Refusal(file + ": " + what + " count " + std::to_string(count) + " is outside 2.." +
                      std::to_string(largest));
    }
}

// Every lookup on the axis brackets the query between two distinct values.
void checkAscending(const std::string& file, const char* what, const double* x, int count) {
    for (int i = 1; i < count; ++i) {
        if (!(x[i] > x[i - 1])) {
            throw Refusal(file + ": " + what + " values are not strictly ascending (value " + std::to_string(i + 1) +
                          " " + fmt::freeReal(x[i]) + " follows " + fmt::freeReal(x[i - 1]) + ")");
        }
    }
}

}  // namespace

std::string surfaceFileName(const std::string& surfaceClass) {
    std::string code = surfaceClass.substr(0, 2);
    while (!code.empty() && code.back() == ' ') code.pop_back();
    return "SRT_" + code;
}

void readSurfaceTable(const std::string& fileName, SurfaceTableFile& out) {
    out.fileName = fileName;
    InputFile file(fileName);
    ReducedLuminanceTable& table = out.table;

    file.readText(kDescriptionLength);  // line 1: the table's own name
    for (std::size_t line = 0; line < out.titleLines.size(); ++line) {
        out.titleLines[line] = file.readText(kDescriptionLength);
        out.titleLinesRead = static_cast<int>(line) + 1;
    }

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
    warnLeftOverValues(file, std::to_string(betaCount) + " beta, " + std::to_string(tanGammaCount) + " tan gamma and " +
                                 std::to_string(betaCount * tanGammaCount) + " r values");
}

AgedAsphaltCurve readAgedAsphaltCurve(const std::string& fileName) {
    InputFile file(fileName);
    AgedAsphaltCurve curve;
    file.readText(kDescriptionLength);  // line 1: description
    curve.agedAsphaltFactor = file.readReal();
    file.readText(kDescriptionLength);  // line 3: description
    for (int i = 0; i < kAgedAsphaltPoints; ++i) curve.x[static_cast<std::size_t>(i)] = file.readReal();
    checkAscending(fileName, "x", curve.x.data(), kAgedAsphaltPoints);
    for (int i = 0; i < kAgedAsphaltPoints; ++i) curve.y[static_cast<std::size_t>(i)] = file.readReal();
    warnLeftOverValues(file, std::to_string(kAgedAsphaltPoints) + " x and " + std::to_string(kAgedAsphaltPoints) +
                                 " y values");
    return curve;
}

}  // namespace vl
