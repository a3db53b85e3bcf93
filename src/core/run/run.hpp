// One run of the computation: everything it reads in, everything it computes out.
//
// evaluate() touches no file, console, clock or environment and keeps no state between
// calls: two calls may run at the same time on two threads.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/photometry/emission.hpp"
#include "core/photometry/photometry_table.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/pollution/plot_model.hpp"
#include "core/pollution/pollution.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/run/installation.hpp"
#include "core/surface/surface_table.hpp"

namespace vl {

// What a run leaves that a later run in the same process keeps: values a run sets only
// when its inputs call for them.
struct RunMemory {
    ListingIndices listing;       // a photometry without gamma <= 30 or <= 70 keeps the earlier ones
    double gridOffsetX = 0;       // a start flag other than "b" or "c" keeps the earlier offset
    double gridOffsetY = 0;
    LampSet lamp;                 // a photometry without lamp sets keeps the earlier lamp
};

struct RunInputs {
    InstallationData installation;
    GridChoice gridRecord;
    int extendFlag = 0;                           // 1: the 3D plot model is computed
    ReducedLuminanceTable surface;
    std::optional<AgedAsphaltCurve> agedAsphalt;  // without it the run stops after the luminaire
    PhotometryTable photometry;
    RunMemory memory;
};

// How far a run got.
enum class RunStage {
    Luminaire,     // photometry rotated, emission data
    RoadLighting,  // grid, maps, glare, summary and energy figures
    Pollution,     // light pollution figures
    Complete,      // the plot model too (when switched on)
};

// Why a run ended before it was complete.
enum class RunEnd {
    Completed,
    RotationOnly,      // spacing 0: the photometry rotation and the maximum upward intensity only
    RotationError,     // a direction the rotation cannot take (message)
    NoAgedAsphalt,     // the aged asphalt curve was not given
    Interrupted,       // the cancel flag was set: results up to `reached`, stopped in `stopStage`
};

// Where a caller follows and steers an evaluation.
struct RunControl {
    // A query between two equal abscissae of a table ("Bad XA input."); called on the
    // evaluating thread or a column worker.
    EqualAbscissae onEqualAbscissae;
    // Phase name and fraction done (0..1): called with 0 at each phase start, on the
    // evaluating thread, and in the road lighting phase as its grid columns finish, on the
    // worker thread that finished the column (the fraction of the phase's columns, up to 1).
    // Calls never overlap and the fractions of a phase rise.
    std::function<void(const char* phase, double fraction)> progress;
    int workers = kRoadLightingWorkers;
    // Set (by another thread or a signal handler) to stop the run at its next safe point:
    // between phases and between grid columns.
    const std::atomic<bool>* cancel = nullptr;
};

struct RunResult {
    RunStage reached = RunStage::Luminaire;
    RunEnd end = RunEnd::Completed;
    std::string stopMessage;  // the line a RotationError ends with
    RunStage stopStage = RunStage::Luminaire;  // where a RotationError or an interruption happened

    ListingIndices listing;
    RotatedPhotometry rotated;
    EmissionResult emission;

    RoadLightingResult road;
    DirectionalPollution directional;  // a rotation-only run: its maximum luminaire intensity only
    IntegratedPollution integrated;
    ScatteringFactors scattering;
    std::optional<PlotModel> plot;  // extend flag 1 and a photometry reaching 180 deg

    RunMemory memory;  // what this run leaves for the next
};

RunResult evaluate(const RunInputs& inputs, const RunControl& control);
inline RunResult evaluate(const RunInputs& inputs) { return evaluate(inputs, RunControl{}); }

}  // namespace vl
