// The lighting class assessment of a computed run: the class requirements against its
// figures, the edge illuminance ratio, and the energy indicators.
#pragma once

#include <optional>

#include "core/assessment/class_assessment.hpp"
#include "core/assessment/energy_indicators.hpp"
#include "core/assessment/lighting_classes.hpp"
#include "core/roadlighting/edge_strips.hpp"
#include "core/run/run.hpp"

namespace vl::assessment {

struct AssessmentRequest {
    const LightingClass* lightingClass = nullptr;  // nullptr: the highest class of every series
    std::optional<double> power;                   // W per luminaire, overriding the declared wattage
    OperatingProfile profile;
};

struct RunAssessment {
    InstallationFigures figures;
    AssessmentResult classes;
    EdgeStripResult edges;
    EnergyIndicators energy;
};

// Needs a run that reached its road lighting figures.
RunAssessment assessRun(const RunInputs& inputs, const RunResult& result, const AssessmentRequest& request);

}  // namespace vl::assessment
