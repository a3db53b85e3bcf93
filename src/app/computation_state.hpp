// The application's record of the runs of this process.
//
// It is zero-initialised once at program start (static storage) and never cleared: each
// run replaces its inputs and results, and hands what it leaves for later runs (the run
// memory) to the next one.
#pragma once

#include <string>

#include "app/assessment_options.hpp"
#include "core/run/run.hpp"
#include "readers/eulumdat.hpp"
#include "writers/report_files.hpp"

namespace vl {

// What the command line asks of every run beyond its report and data files.
struct RunOptions {
    std::string jsonPath;            // --json: the results as JSON (empty: none)
    AssessmentOptions assessment;    // --assess, --power, --hours, --profile
};

struct ComputationState {
    RunOptions options;
    RunInfo run;              // the latest run's start time and report name
    RunInputs inputs;         // its inputs as read
    EulumdatHeader eulumdat;  // the head of its photometry file
    RunResult result;         // its results
    RunMemory memory;         // what the runs so far leave for the next one
};

// The one process-wide instance.
ComputationState& state();

}  // namespace vl
