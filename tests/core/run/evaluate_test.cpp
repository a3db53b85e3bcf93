// The computation on its own: inputs built in memory, no reader, writer or application.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/roadlighting/road_fixtures.hpp"
#include "core/run/run.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

// A road luminaire: most light below the horizontal, towards the road (C 90), some upward.
double roadLuminaire(double c, double gamma) {
    const double s = std::sin(gamma * 3.141592653589793 / 180.0);
    const double towardsRoad = 1.0 + 0.4 * std::sin(c * 3.141592653589793 / 180.0);
    return gamma <= 90.0 ? 40.0 + 90.0 * s * s * towardsRoad : 40.0 * std::pow((180.0 - gamma) / 90.0, 3.0) + 1.0;
}

// A surface that reflects less at wide angles and more forwards (small beta).
ReducedLuminanceTable fallingSurface(double scale) {
    ReducedLuminanceTable t = test::constantSurface(0.0);
    for (int b = 0; b < t.betaCount; ++b) {
        for (int k = 0; k < t.tanGammaCount; ++k) {
            t.r(b, k) = scale * (1.0 - 0.3 * b) / (1.0 + t.tanGamma[static_cast<std::size_t>(k)]);
        }
    }
    return t;
}

RunInputs defaultInputs() {
    RunInputs in;
    in.installation = test::formDefaults();
    in.gridRecord = test::gridRecord(1, 10, 'c', 6, 'c');
    in.extendFlag = 1;
    in.surface = fallingSurface(600.0);
    AgedAsphaltCurve curve = test::constantAgedAsphalt(0.0);
    for (std::size_t k = 0; k < curve.x.size(); ++k) curve.y[k] = 0.08 + 0.001 * curve.x[k];
    in.agedAsphalt = curve;
    in.photometry = test::syntheticPhotometry(15.0, 5.0, 180.0, roadLuminaire);
    return in;
}

// Another installation: tilted, wider spacing, border grid, another surface, no plot model.
RunInputs otherInputs() {
    RunInputs in = defaultInputs();
    in.installation.tilt = 10.0;
    in.installation.spacing = 30.0;
    in.installation.overhang = 1.0;
    in.installation.gridChoice = 2;
    in.gridRecord = test::gridRecord(2, 8, 'b', 5, 'b', 0.1, 0.9);
    in.extendFlag = 0;
    in.surface = fallingSurface(400.0);
    return in;
}

// Every number a run computes, in a fixed order.
class Figures {
public:
    explicit Figures(const RunResult& r) {
        put(r.listing.index30, r.listing.index70, static_cast<int>(r.end), static_cast<int>(r.reached));
        for (const Direction d : r.rotated.rotatedDirections) put(d.c, d.gamma);
        add(r.rotated.rotatedIntensity);
        const EmissionResult& e = r.emission;
        add(e.declared);
        add(e.calculated);
        put(e.fullSphere, e.downwardLightOutputRatio, e.effective.downwardFluxFactor, e.effective.upwardFluxFactor,
            e.effective.lightOutputRatio, e.effective.upwardLightOutputRatio);
        addRoad(r.road);
        addPollution(r);
        if (r.plot) {
            add(r.plot->reflected);
            add(r.plot->total);
            put(r.plot->reflectedFluxPercent, r.plot->diffusedFluxPercent, r.plot->totalFluxPercent, r.plot->firstRow);
        }
        const RunMemory& m = r.memory;
        put(m.listing.index30, m.listing.index70, m.gridOffsetX, m.gridOffsetY, m.lamp.totalFlux, m.lamp.wattage);
    }
    bool operator==(const Figures& o) const {
        return values_.size() == o.values_.size() &&
               std::memcmp(values_.data(), o.values_.data(), values_.size() * sizeof(double)) == 0;
    }
    std::size_t size() const { return values_.size(); }

private:
    template <typename... T>
    void put(T... v) {
        (values_.push_back(static_cast<double>(v)), ...);
    }
    void add(const std::vector<double>& v) { values_.insert(values_.end(), v.begin(), v.end()); }
    template <std::size_t N>
    void add(const std::array<double, N>& v) {
        values_.insert(values_.end(), v.begin(), v.end());
    }
    void add(const GridMap& m) {
        put(m.nX(), m.nY());
        for (int i = 0; i < m.nX(); ++i) {
            for (int j = 0; j < m.nY(); ++j) put(m(i, j));
        }
    }
    void add(const MapStatistics& s) { put(s.average, s.minimum, s.maximum, s.rms); }
    void add(const EmissionFigures& f) {
        put(f.downwardFluxFactor, f.upwardFluxFactor, f.lightOutputRatio, f.downwardLightOutputRatio,
            f.upwardLightOutputRatio);
    }
    void add(const UpwardIntensities& u) {
        put(u.road, u.roadPerLuminaireFlux, u.fixtureAvailable, u.fixture, u.fixturePerLuminaireFlux, u.ratioPercent);
    }
    void addRoad(const RoadLightingResult& r) {
        const ComputationGrid& g = r.grid;
        put(g.pointsAlongX, g.pointsAlongY, g.cellX, g.cellY, g.offsetX, g.offsetY);
        for (const GridMap* m : {&r.luminanceAtInfinity, &r.luminanceObserver1, &r.luminanceObserver2,
                                 &r.horizontalIlluminance, &r.hemisphericalIlluminance, &r.semicylindricalIlluminance,
                                 &r.verticalIlluminance, &r.veilingLuminance, &r.glareRating}) {
            add(*m);
        }
        for (const MapStatistics* s :
             {&r.luminanceAtInfinityStats, &r.luminanceObserver1Stats, &r.luminanceObserver2Stats,
              &r.horizontalIlluminanceStats, &r.hemisphericalIlluminanceStats, &r.veilingLuminanceStats,
              &r.glareRatingStats, &r.semicylindricalIlluminanceStats, &r.verticalIlluminanceStats}) {
            add(*s);
        }
        put(r.overallUniformity1, r.overallUniformity2, r.lengthwiseUniformity1, r.lengthwiseUniformity2,
            r.veilingLuminanceObserver1, r.veilingLuminanceObserver2, r.thresholdIncrement1, r.thresholdIncrement2,
            r.agedAsphaltReflectedPercent);
        const EnergyFigures& e = r.energy;
        put(e.fluxUse.utilizationFactor, e.fluxUse.usedLuminaireFluxPercent, e.fluxUse.wastedDownwardFluxPercent,
            e.incompleteForTilt, e.wastedLuminaireFluxPercent, e.usedDownwardFluxPercent, e.luminairesPerKm,
            e.fluxPerLength, e.fluxPerArea, e.initialFluxPerLengthPerLuminance, e.maintainedFluxPerLengthPerLuminance,
            e.initialPhotometricEfficacy, e.maintainedPhotometricEfficacy, e.powerPerLengthPerLuminance,
            e.energeticEfficacy, e.lampEfficacy);
    }
    void addPollution(const RunResult& r) {
        const DirectionalPollution& d = r.directional;
        add(d.azimuthDeg);
        add(d.avgLuminanceByAzimuth);
        add(d.avgLuminanceSpline);
        for (const DirectionRow& row : d.directionTable) {
            put(row.alpha, row.azimuth);
            add(row.intensities);
        }
        put(d.meanLuminance, d.roadIntensity1deg0, d.roadIntensity1deg90, d.maxRoadIntensity,
            d.maxRoadIntensityPerLuminaireFlux);
        for (const UpwardIntensities& u : d.averages) add(u);
        const MaximumLuminaireIntensity& m = d.maxLuminaire;
        put(m.found, m.intensity, m.perLuminaireFlux, m.at.c, m.at.gamma);
        const IntegratedPollution& i = r.integrated;
        put(i.computed, i.directUpwardFluxRatio, i.roadReflectedRatio, i.roadReflectedRatioAgedAsphalt,
            i.outOfRoadReflectedRatio, i.directIncreasePercent, i.outOfRoadIncreasePercent, i.roadReflectedPercent,
            i.directUplightDensity, i.roadUplightDensity, i.outOfRoadUplightDensity, i.roadAndDirectUplightDensity,
            i.densityDirectIncreasePercent, i.densityOutOfRoadIncreasePercent);
        const ScatteringFactors& s = r.scattering;
        put(s.outOfRoadScale, s.hemisphericAvailable, s.directScattered, s.roadScattered, s.outOfRoadScattered,
            s.directIncreasePercent, s.outOfRoadIncreasePercent, s.lowAngleAvailable, s.outOfRoadAvailable);
        add(s.lowAngleSolidAngle);
        put(s.lowAngleDirectUp, s.lowAngleRoadUp, s.lowAngleOutOfRoadUp, s.lowAngleDirectUpIncreasePercent,
            s.lowAngleOutOfRoadUpIncreasePercent, s.lowAngleDirectScattered, s.lowAngleRoadScattered,
            s.lowAngleOutOfRoadScattered, s.lowAngleDirectScatteredIncreasePercent,
            s.lowAngleOutOfRoadScatteredIncreasePercent);
        add(s.roadEstimatedPhotometry);
    }

    std::vector<double> values_;
};

bool allFinite(const GridMap& m) {
    for (int i = 0; i < m.nX(); ++i) {
        for (int j = 0; j < m.nY(); ++j) {
            if (!std::isfinite(m(i, j))) return false;
        }
    }
    return true;
}

// An empty directory that is the current one while the object lives.
class EmptyDirectory {
public:
    EmptyDirectory() : previous_(fs::current_path()) {
        path_ = fs::temp_directory_path() / ("vl_core_alone_" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
        fs::current_path(path_);
    }
    ~EmptyDirectory() {
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(path_, ec);
    }
    EmptyDirectory(const EmptyDirectory&) = delete;
    EmptyDirectory& operator=(const EmptyDirectory&) = delete;
    bool empty() const { return fs::is_empty(path_); }

private:
    fs::path previous_;
    fs::path path_;
};

TEST(EvaluateAlone, TouchesNothingAndGivesPlausibleFigures) {
    const RunInputs in = defaultInputs();
    EmptyDirectory dir;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const RunResult r = evaluate(in);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(dir.empty());

    EXPECT_EQ(r.end, RunEnd::Completed);
    EXPECT_EQ(r.reached, RunStage::Complete);
    EXPECT_TRUE(r.plot.has_value());
    // Emission: the whole sphere is integrated; most of the light goes down.
    const EmissionData& e = r.emission.effective;
    EXPECT_TRUE(r.emission.fullSphere);
    EXPECT_NEAR(r.emission.calculated.downwardLightOutputRatio + r.emission.calculated.upwardLightOutputRatio,
                e.lightOutputRatio, 1e-9);
    EXPECT_GT(e.downwardFluxFactor, 50.0);
    EXPECT_LT(e.downwardFluxFactor, 100.0);

    // Road lighting: lit, uniformities within 0..1, every map finite.
    const RoadLightingResult& road = r.road;
    EXPECT_GT(road.luminanceObserver1Stats.average, 0.1);
    EXPECT_GT(road.overallUniformity1, 0.0);
    EXPECT_LE(road.overallUniformity1, 1.0);
    EXPECT_GT(road.lengthwiseUniformity2, 0.0);
    EXPECT_LE(road.lengthwiseUniformity2, 1.0);
    EXPECT_GT(road.horizontalIlluminanceStats.minimum, 0.0);
    EXPECT_LE(road.horizontalIlluminanceStats.minimum, road.horizontalIlluminanceStats.average);
    EXPECT_LE(road.horizontalIlluminanceStats.average, road.horizontalIlluminanceStats.maximum);
    EXPECT_GT(road.thresholdIncrement1, 0.0);
    EXPECT_LT(road.thresholdIncrement1, 100.0);
    for (const GridMap* m : {&road.luminanceObserver1, &road.horizontalIlluminance, &road.veilingLuminance,
                             &road.semicylindricalIlluminance, &road.glareRating}) {
        EXPECT_TRUE(allFinite(*m));
    }
    // The road receives part of the downward luminaire flux, never more.
    EXPECT_GT(road.energy.fluxUse.usedLuminaireFluxPercent, 0.0);
    EXPECT_LT(road.energy.fluxUse.usedLuminaireFluxPercent, e.downwardFluxFactor);
    EXPECT_NEAR(road.energy.lampEfficacy, 100.0, 1e-12);
    EXPECT_NEAR(road.energy.luminairesPerKm, 1000.0 / 24.0, 1e-12);

    // Light pollution: the luminaire sends light up, the road reflects some.
    EXPECT_TRUE(r.integrated.computed);
    EXPECT_GT(r.integrated.directUpwardFluxRatio, 0.0);
    EXPECT_GT(r.integrated.roadReflectedRatio, 0.0);
    EXPECT_GT(r.directional.meanLuminance, 0.0);
    EXPECT_TRUE(std::isfinite(r.scattering.directScattered));

    // What the run leaves for the next: the half-cell offsets and the lamp.
    EXPECT_DOUBLE_EQ(r.memory.gridOffsetX, 1.2);
    EXPECT_DOUBLE_EQ(r.memory.gridOffsetY, 7.0 / 12.0);
    EXPECT_EQ(r.memory.lamp.wattage, 100.0);
}

TEST(EvaluateAlone, TwoThreadsAtOnceGiveTheBitsOfOneAfterTheOther) {
    const RunInputs a = defaultInputs();
    const RunInputs b = otherInputs();
    const Figures serialA(evaluate(a));
    const Figures serialB(evaluate(b));
    EXPECT_FALSE(serialA == serialB);
    EXPECT_GT(serialA.size(), 1000u);

    for (int round = 0; round < 3; ++round) {
        RunResult ra;
        RunResult rb;
        std::thread ta([&] { ra = evaluate(a); });
        std::thread tb([&] { rb = evaluate(b); });
        ta.join();
        tb.join();
        EXPECT_TRUE(Figures(ra) == serialA) << "round " << round;
        EXPECT_TRUE(Figures(rb) == serialB) << "round " << round;
    }
}

TEST(EvaluateAlone, RepeatedEvaluationsGiveTheSameBits) {
    const RunInputs a = defaultInputs();
    const Figures first(evaluate(a));
    for (int k = 0; k < 2; ++k) {
        evaluate(otherInputs());  // another installation in between
        EXPECT_TRUE(Figures(evaluate(a)) == first) << k;
    }
    // The serial path (one worker) computes the same bits as the default workers.
    RunControl serial;
    serial.workers = 1;
    EXPECT_TRUE(Figures(evaluate(a, serial)) == first);
}

// The cancel flag, set as a phase begins, stops the run at the next safe point: the stages
// before it stay whole, nothing after it is computed. Set as the road lighting begins, it is
// seen between grid columns; set as the light pollution begins, before the plot model.
TEST(EvaluateAlone, ACancelFlagStopsAtTheNextSafePoint) {
    const RunInputs in = defaultInputs();
    const RunResult whole = evaluate(in);
    struct Case {
        const char* phase;
        RunStage reached, stoppedIn;
    };
    for (const Case& c : {Case{nullptr, RunStage::Luminaire, RunStage::Luminaire},
                          Case{"road lighting", RunStage::Luminaire, RunStage::RoadLighting},
                          Case{"light pollution", RunStage::Pollution, RunStage::Complete}}) {
        std::atomic<bool> cancel{c.phase == nullptr};
        RunControl control;
        control.cancel = &cancel;
        control.progress = [&](const char* phase, double) {
            if (c.phase != nullptr && std::strcmp(phase, c.phase) == 0) cancel.store(true);
        };
        const RunResult r = evaluate(in, control);
        EXPECT_EQ(r.end, RunEnd::Interrupted);
        EXPECT_EQ(r.reached, c.reached);
        EXPECT_EQ(r.stopStage, c.stoppedIn);
        const bool luminaire = c.stoppedIn != RunStage::Luminaire;
        EXPECT_EQ(r.rotated.rotatedIntensity == whole.rotated.rotatedIntensity, luminaire);
        EXPECT_EQ(r.road.luminanceObserver1Stats.average == whole.road.luminanceObserver1Stats.average,
                  c.reached >= RunStage::RoadLighting);
        EXPECT_FALSE(r.plot.has_value());
    }
}

// Progress: each phase starts at 0 (the end is "done" at 1); the road lighting phase then reports its grid columns
// as they finish (from the workers), rising to 1, the tilted glare pass included. A cancel
// flag set half-way through the columns stops the run there.
TEST(EvaluateAlone, ProgressFollowsTheGridColumnsUpToOne) {
    for (const RunInputs& in : {defaultInputs(), otherInputs()}) {
        for (const int workers : {1, 2}) {
            std::vector<std::pair<std::string, double>> calls;
            RunControl control;
            control.workers = workers;
            control.progress = [&](const char* phase, double fraction) { calls.emplace_back(phase, fraction); };
            const RunResult r = evaluate(in, control);
            ASSERT_EQ(r.end, RunEnd::Completed);
            std::vector<double> road;
            for (std::size_t k = 0; k < calls.size(); ++k) {
                if (k == 0 || calls[k].first != calls[k - 1].first) {
                    EXPECT_EQ(calls[k].second, calls[k].first == "done" ? 1.0 : 0.0) << calls[k].first;
                } else {
                    EXPECT_EQ(calls[k].first, "road lighting");
                    EXPECT_GT(calls[k].second, calls[k - 1].second);
                }
                if (calls[k].first == "road lighting") road.push_back(calls[k].second);
            }
            const int columns = r.road.grid.pointsAlongX;
            ASSERT_FALSE(road.empty());
            EXPECT_GE(road.size(), static_cast<std::size_t>(columns / 2 + 1)) << "workers " << workers;
            EXPECT_EQ(road.back(), 1.0);
        }
    }
    const RunInputs in = defaultInputs();
    std::atomic<bool> cancel{false};
    RunControl control;
    control.cancel = &cancel;
    control.progress = [&](const char* phase, double fraction) {
        if (std::strcmp(phase, "road lighting") == 0 && fraction >= 0.5) cancel.store(true);
    };
    const RunResult r = evaluate(in, control);
    EXPECT_EQ(r.end, RunEnd::Interrupted);
    EXPECT_EQ(r.stopStage, RunStage::RoadLighting);
}

TEST(EvaluateAlone, EmptyInputsAreRefusedNotACrash) {
    EXPECT_THROW(evaluate(RunInputs{}), Refusal);
    RunInputs noSurface = defaultInputs();
    noSurface.surface = ReducedLuminanceTable{};
    EXPECT_THROW(evaluate(noSurface), Refusal);
}

}  // namespace
}  // namespace vl
