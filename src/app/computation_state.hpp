// The application's record of the runs of this process.
//
// It is zero-initialised once at program start (static storage) and never cleared: each
// run replaces its inputs and results, and hands what it leaves for later runs (the run
// memory) to the next one.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/assessment_options.hpp"
#include "core/assessment/run_assessment.hpp"
#include "core/run/run.hpp"
#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "readers/photometry_file.hpp"
#include "writers/report_files.hpp"

namespace vl {

// What the command line asks of every run beyond its report and data files.
struct RunOptions {
    std::string jsonPath;            // --json: the results as JSON (empty: none)
    AssessmentOptions assessment;    // --assess, --power, --hours, --profile
    std::string plotsFolder;         // --plots: the pictures and their page (empty: none)
    double iesRotation = kDefaultIesRotation;  // --ies-rotation: C = H + R of an IES photometry
    // Where the progress of a long run is shown (the form's status line); empty: standard
    // error when it is a terminal.
    std::function<void(const std::string&)> progressShow;
    // Draws a run's pictures into a folder; empty when the program was built without them.
    // Returns "" or the file and what failed, "FILE\tKIND".
    std::function<std::string(const RunInputs&, const RunResult&, const assessment::RunAssessment*,
                              const std::string& folder)>
        drawPictures;
};

struct ComputationState {
    RunOptions options;
    RunInfo run;              // the latest run's start time and report name
    RunInputs inputs;         // its inputs as read
    PhotometryFormat photometryFormat = PhotometryFormat::Eulumdat;
    EulumdatHeader eulumdat;  // the head of its photometry file (Eulumdat)
    IesHeader ies;            // the head of its photometry file (IES)
    RunResult result;         // its results
    RunMemory memory;         // what the runs so far leave for the next one
    std::optional<assessment::RunAssessment> assessment;  // the latest run's, when asked for
};

// The one process-wide instance.
ComputationState& state();

}  // namespace vl
