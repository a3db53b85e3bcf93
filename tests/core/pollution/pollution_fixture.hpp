// A small installation laid into the shared state by hand for the light pollution tests.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/numeric/spline.hpp"
#include "writers/streams.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"

namespace vl::test {

// Intensity (cd/klm) of a test luminaire at (C, gamma) in its own frame.
using IntensityFunction = std::function<double(double c, double gamma)>;

class PollutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDir>();
        console_ = std::make_unique<ConsoleCapture>();
        reportFile().create("r.doc");
        auto& in = state().installation;
        in.lampFlux = 10.0;
        in.roadWidth = 7.0;
        in.spacing = 30.0;
        in.maintenanceFactor = 0.8;
        in.tilt = 0.0;
        auto& em = state().emission;
        em.lightOutputRatio = 80.0;
        em.downwardFluxFactor = 97.0;
        em.upwardFluxFactor = 3.0;
        state().maps.wastedDownwardFluxPercent = 25.0;
        state().maps.agedAsphaltReflectedPercent = 6.0;
        state().agedAsphalt.agedAsphaltFactor = 1.2;
        state().pollution.integratedComputedThisRun = false;
        setLuminance(4, 3, [](int, int, int k) { return 1.0 + 0.01 * k; });
    }

    void TearDown() override {
        reportFile().close();
        console_.reset();
        scratch_.reset();
    }

    // A photometry over C = 0..360 in 15 deg steps and gamma = 0..lastGamma in steps.
    static void setPhotometry(double lastGamma, double gammaStep, const IntensityFunction& intensity) {
        auto& p = state().photometry;
        p.cCount = 25;
        p.cStep = 15.0;
        p.gammaStep = gammaStep;
        p.cAngles.clear();
        p.gammaAngles.clear();
        for (int i = 0; i < p.cCount; ++i) p.cAngles.push_back(15.0 * i);
        for (double g = 0.0; g <= lastGamma + 1e-9; g += gammaStep) p.gammaAngles.push_back(g);
        p.gammaCount = static_cast<int>(p.gammaAngles.size());
        const auto cells = static_cast<std::size_t>(p.cCount * p.gammaCount);
        p.intensity.assign(cells, 0.0);
        state().photometrySpline.assign(cells, 0.0);
        for (int j = 0; j < p.gammaCount; ++j) {
            for (int i = 0; i < p.cCount; ++i) {
                p.I(i, j) = intensity(p.cAngles[static_cast<std::size_t>(i)], p.gammaAngles[static_cast<std::size_t>(j)]);
            }
        }
        SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(), state().photometrySpline.data(),
                            p.cCount,         p.gammaCount,         p.cCount};
        prepareSplineTable2D(table, kNaturalEnd);
        state().rotated.rotatedIntensity = p.intensity;  // tilt 0
    }

    // Initial luminance L(i, j, k) over an nX x nY grid.
    static void setLuminance(int nX, int nY, const std::function<double(int, int, int)>& value) {
        state().grid.pointsAlongX = nX;
        state().grid.pointsAlongY = nY;
        auto& map = state().maps.luminanceByDirection;
        for (int i = 0; i < nX; ++i) {
            for (int j = 0; j < nY; ++j) {
                for (int k = 0; k < kDirections; ++k) {
                    map[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] =
                        value(i, j, k);
                }
            }
        }
    }

    // A road luminaire with some light above the horizontal.
    static double roadLuminaire(double c, double gamma) {
        return gamma <= 90.0 ? 300.0 - gamma : 20.0 + 0.05 * c + 0.1 * (180.0 - gamma);
    }

    // From now on Console lines go into the report file too, marked "C|", so that the
    // report shows the order in which the two streams were written.
    static void mergeConsoleIntoReport() {
        setConsoleSink([](std::string_view line) { reportFile().writeLine("C|" + std::string(line)); });
    }

    const std::vector<std::string>& consoleLines() const { return console_->lines(); }
    std::vector<std::string> reportLines() {
        reportFile().close();
        return readLines("r.doc");
    }

private:
    std::unique_ptr<ScratchDir> scratch_;
    std::unique_ptr<ConsoleCapture> console_;
};

// Index of the first line equal to text at or after from; lines.size() when absent.
inline std::size_t findLine(const std::vector<std::string>& lines, const std::string& text, std::size_t from = 0) {
    for (std::size_t k = from; k < lines.size(); ++k) {
        if (lines[k] == text) return k;
    }
    return lines.size();
}

inline int countContaining(const std::vector<std::string>& lines, const std::string& part) {
    int n = 0;
    for (const auto& line : lines) n += line.find(part) != std::string::npos ? 1 : 0;
    return n;
}

}  // namespace vl::test
