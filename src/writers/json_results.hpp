// The machine-readable results of a run: every figure as JSON, from the same results the
// report is written from.
#pragma once

#include <string>
#include <vector>

#include "core/assessment/run_assessment.hpp"
#include "core/run/run.hpp"
#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "writers/report_files.hpp"

namespace vl {

inline constexpr const char* kJsonSchema = "vesperluminal-results/1";

// What identifies the program and the photometry file beside the run's own records.
struct JsonRunContext {
    std::string programVersion;
    const EulumdatHeader* eulumdat = nullptr;  // the head of an Eulumdat photometry file, if any
    const IesHeader* ies = nullptr;            // the head of an IES photometry file, if any
    const assessment::RunAssessment* assessment = nullptr;  // the lighting class assessment, if asked for
};

// The results as a JSON text (two-space indentation, a final newline). A number that is
// not finite is null, and listed with its path and value under "non_finite".
std::string resultsJson(const RunInfo& info, const RunInputs& inputs, const RunResult& result,
                        const JsonRunContext& context);

// The figures of a run that are not finite, counted by the section of the results that
// holds them ("emission", "road lighting", "energy", "light pollution", "plot model"), in
// the order of the results; empty when every figure is finite.
struct NonFiniteSection {
    std::string name;
    int count = 0;
};
std::vector<NonFiniteSection> nonFiniteFigures(const RunInputs& inputs, const RunResult& result);

// Writes resultsJson to the file (created or replaced); a WriteError when it cannot.
void writeJsonResults(const std::string& path, const RunInfo& info, const RunInputs& inputs, const RunResult& result,
                      const JsonRunContext& context);

}  // namespace vl
