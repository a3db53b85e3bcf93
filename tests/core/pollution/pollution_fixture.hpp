// Records of a small installation for the light pollution tests, and the streams the
// pollution sections write.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pollution/pollution.hpp"
#include "core/run/run.hpp"
#include "support/test_support.hpp"
#include "writers/pollution_sections.hpp"
#include "writers/streams.hpp"

namespace vl::test {

// Intensity (cd/klm) of a test luminaire at (C, gamma) in its own frame.
using IntensityFunction = std::function<double(double c, double gamma)>;

// A road luminaire with some light above the horizontal.
inline double roadLuminaire(double c, double gamma) {
    return gamma <= 90.0 ? 300.0 - gamma : 20.0 + 0.05 * c + 0.1 * (180.0 - gamma);
}

// A photometry over C = 0..360 in 15 deg steps and gamma = 0..lastGamma in gammaStep steps.
inline PhotometryTable pollutionPhotometry(double lastGamma, double gammaStep, const IntensityFunction& intensity) {
    PhotometryTable p;
    p.cStep = 15.0;
    p.gammaStep = gammaStep;
    for (int i = 0; i <= 24; ++i) p.cAngles.push_back(15.0 * i);
    for (double g = 0.0; g <= lastGamma + 1e-9; g += gammaStep) p.gammaAngles.push_back(g);
    p.cCount = static_cast<int>(p.cAngles.size());
    p.gammaCount = static_cast<int>(p.gammaAngles.size());
    p.intensity.assign(p.cAngles.size() * p.gammaAngles.size(), 0.0);
    for (int j = 0; j < p.gammaCount; ++j) {
        for (int i = 0; i < p.cCount; ++i) {
            p.I(i, j) = intensity(p.cAngles[static_cast<std::size_t>(i)], p.gammaAngles[static_cast<std::size_t>(j)]);
        }
    }
    return p;
}

// Initial luminance L(i, j, k) over an nX x nY grid, as the road lighting phase leaves it.
struct LuminanceField {
    ComputationGrid grid;
    DirectionalLuminance values;
};

inline LuminanceField luminanceField(int nX, int nY, const std::function<double(int i, int j, int k)>& value) {
    LuminanceField f;
    f.grid.pointsAlongX = nX;
    f.grid.pointsAlongY = nY;
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            for (int k = 0; k < kDirections; ++k) f.values.push_back(value(i, j, k));
        }
    }
    return f;
}

// Flux 10 klm, road 7 m, spacing 30 m, maintenance 0.8, no tilt; LORL 80 %, DFF 97 %;
// 25 % of the downward flux wasted, aged asphalt reflecting 6 % with factor 1.2, and a
// 4 x 3 grid whose luminance towards azimuth 10 k deg is 1 + 0.01 k.
class PollutionCase {
public:
    InstallationData installation;
    EmissionData emission;
    PhotometryTable photometry = pollutionPhotometry(180.0, 5.0, roadLuminaire);
    LuminanceField luminance = luminanceField(4, 3, [](int, int, int k) { return 1.0 + 0.01 * k; });
    RoadLightingResult road;
    AgedAsphaltCurve agedAsphalt;

    PollutionCase() {
        installation.lampFlux = 10.0;
        installation.roadWidth = 7.0;
        installation.spacing = 30.0;
        installation.maintenanceFactor = 0.8;
        emission.lightOutputRatio = 80.0;
        emission.downwardFluxFactor = 97.0;
        emission.upwardFluxFactor = 3.0;
        road.energy.fluxUse.wastedDownwardFluxPercent = 25.0;
        road.agedAsphaltReflectedPercent = 6.0;
        agedAsphalt.agedAsphaltFactor = 1.2;
    }
    PollutionCase(const PollutionCase&) = delete;
    PollutionCase& operator=(const PollutionCase&) = delete;

    // The phases' inputs over the records as they are now; valid until the next call.
    PollutionInputs inputs() {
        luminaire_.emplace(photometry, installation.tilt);
        rotatePhotometry(*luminaire_, rotated_);
        return {installation, photometry, *luminaire_, emission, rotated_.rotatedIntensity};
    }

    DirectionalPollution directional() {
        return computeDirectionalPollution(inputs(), luminance.grid, luminance.values);
    }

    // The three phases as a run computes them.
    RunResult result() {
        const PollutionInputs in = inputs();
        RunResult r;
        r.rotated = rotated_;
        r.emission.effective = emission;
        r.road = road;
        r.road.grid = luminance.grid;
        r.directional = computeDirectionalPollution(in, luminance.grid, luminance.values);
        r.integrated = computeIntegratedPollution(in, r.directional, road, agedAsphalt);
        r.scattering = computeScatteringFactors(in, r.directional, r.integrated);
        r.reached = RunStage::Pollution;
        return r;
    }

    RunInputs runInputs() const {
        RunInputs in;
        in.installation = installation;
        in.photometry = photometry;
        in.agedAsphalt = agedAsphalt;
        return in;
    }

private:
    std::optional<LuminaireIntensity> luminaire_;
    RotatedPhotometry rotated_;
};

struct Written {
    std::vector<std::string> console;
    std::vector<std::string> report;
};

// The Console and report lines of the pollution sections of a case.
inline Written writtenSections(const PollutionCase& c, const RunResult& result) {
    ScratchDir scratch;
    ConsoleCapture console;
    reportFile().create("r.doc");
    writePollutionSections(c.runInputs(), result);
    reportFile().close();
    return {console.lines(), readLines("r.doc")};
}

// The same in one stream: the Console lines, marked "C|", among the report lines in the
// order the two streams were written.
inline std::vector<std::string> interleavedSections(const PollutionCase& c, const RunResult& result) {
    ScratchDir scratch;
    ConsoleCapture console;
    reportFile().create("r.doc");
    setConsoleSink([](std::string_view line) { reportFile().writeLine("C|" + std::string(line)); });
    writePollutionSections(c.runInputs(), result);
    reportFile().close();
    return readLines("r.doc");
}

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
