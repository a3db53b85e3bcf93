// Sweeps: many runs of the computation in one process, each combination of inputs computed
// as a fresh process computes one --run, with no report or data file.
//
// The files a run reads are read once per sweep (each photometry file, surface table and
// grid record once, whatever the number of combinations using it) and shared read-only by
// the worker threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/assessment/run_assessment.hpp"
#include "core/run/run.hpp"
#include "readers/ies.hpp"

namespace vl::sweep {

// How a combination ended, as the run of the same inputs would end.
enum class Outcome {
    Completed,     // every figure (exit status 0)
    RotationOnly,  // spacing 0: the designed end after the luminaire (exit status 0)
    Refused,       // the program's own refusal or a rotation error (exit status 1)
    FileError,     // a file that cannot be read (exit status 2)
    Failed,        // an unexpected internal error (exit status 3)
};
const char* outcomeName(Outcome outcome);

// The key figures of a completed combination. Figures a run does not compute for its
// photometry are absent.
struct RowFigures {
    double luminance[2] = {0, 0};            // average maintained, observers 1 and 2, cd/m^2
    double overallUniformity[2] = {0, 0};    // U0
    double lengthwiseUniformity[2] = {0, 0}; // UL
    double thresholdIncrement[2] = {0, 0};   // TI, %
    double averageIlluminance = 0;           // maintained horizontal, lx
    double minimumIlluminance = 0;
    double utilizationFactor = 0;
    std::optional<double> roadReflectedRatio;       // %, the integrated parameters
    std::optional<double> outOfRoadReflectedRatio;  // %
    std::optional<double> duud;                     // lm/m^2
    std::optional<double> ruud;
    std::optional<double> wuud;
    std::optional<double> hemisphericDirect;  // scattered flux factors, %
    std::optional<double> hemisphericRoad;
    std::optional<double> hemisphericOutOfRoad;
    std::optional<double> lowAngleDirect;
    std::optional<double> lowAngleRoad;
    std::optional<double> lowAngleOutOfRoad;
    double powerPerArea = 0;  // W/m^2 over one spacing of road
};

struct RowAssessment {
    std::optional<assessment::ClassAssessment> chosen;  // with a class named
    const assessment::LightingClass* highest[3] = {nullptr, nullptr, nullptr};  // M, C, P without one
    double edgeIlluminanceRatio = 0;
    double powerDensity = 0;             // D_P, W/(lx m^2)
    double annualEnergyConsumption = 0;  // D_E, Wh/m^2
};

struct Row {
    std::uint64_t index = 0;        // combination number in the whole sweep, from 0
    InstallationData installation;  // as the run reads it back (as asked when it cannot)
    Outcome outcome = Outcome::Completed;
    std::string reason;             // why a combination was not completed
    std::optional<double> ulor;     // % (the luminaire stage was reached)
    std::optional<RowFigures> figures;
    std::optional<RowAssessment> assessment;

    // Completed and meeting the chosen class.
    bool meetsClass() const;
};

struct SweepSettings {
    std::optional<assessment::AssessmentRequest> assessment;  // --assess
    double iesRotation = kDefaultIesRotation;                 // --ies-rotation
};

// Thrown through an evaluation when the sweep is asked to stop.
struct EvaluationCancelled {};

// Computes combinations; one instance is shared by all worker threads.
class CombinationEvaluator {
public:
    explicit CombinationEvaluator(SweepSettings settings);
    ~CombinationEvaluator();
    CombinationEvaluator(const CombinationEvaluator&) = delete;
    CombinationEvaluator& operator=(const CombinationEvaluator&) = delete;

    // What one worker thread keeps between its combinations.
    struct Scratch;
    std::unique_ptr<Scratch> makeScratch() const;

    // One combination. Throws EvaluationCancelled when `stop` becomes true during it.
    Row evaluate(std::uint64_t index, const InstallationData& requested, Scratch& scratch,
                 const std::atomic<bool>* stop = nullptr) const;

    const SweepSettings& settings() const { return settings_; }

private:
    struct Files;
    SweepSettings settings_;
    std::unique_ptr<Files> files_;
};

// Computes task(k) for k in 0..count-1 on `jobs` threads and hands each result to
// deliver(k, result) on the calling thread in the order of k, whatever order the threads
// finish in. A task that returns nothing (cancelled) stops the deliveries before it.
// tick(delivered) is called on the calling thread after deliveries and at least every
// 200 ms. When *stop becomes true no further task starts; the running ones finish or
// cancel. Returns the number of results delivered (count unless stopped).
using RowTask = std::function<std::optional<Row>(std::uint64_t k, CombinationEvaluator::Scratch& scratch)>;
std::uint64_t runOrdered(const CombinationEvaluator& evaluator, std::uint64_t count, int jobs, const RowTask& task,
                         const std::function<void(std::uint64_t k, Row&& row)>& deliver,
                         const std::function<void(std::uint64_t delivered)>& tick, const std::atomic<bool>& stop);

}  // namespace vl::sweep
