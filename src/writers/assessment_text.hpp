// The plain text of the lighting class assessment (assessment_<stamp>.txt): per class the
// requirements with required value, computed value, margin and pass or fail; the edge
// illuminance ratio with its limiting edge; the energy indicators with their assumptions.
#pragma once

#include <string>
#include <vector>

#include "core/assessment/class_assessment.hpp"
#include "core/assessment/energy_indicators.hpp"
#include "core/roadlighting/edge_strips.hpp"

namespace vl {

struct AssessmentReport {
    std::vector<std::string> heading;  // lines that identify the run (installation, date); may be empty
    double roadWidth = 0;              // m, names the far edge
    assessment::AssessmentResult classes;
    EdgeStripResult edges;
    assessment::EnergyIndicators energy;
};

// "assessment_" + stamp + ".txt".
std::string assessmentFileName(const std::string& stamp);

// The whole text, lines ending in '\n'.
std::string assessmentText(const AssessmentReport& report);

// Writes the text to the file (created or replaced); a WriteError naming it when it cannot.
void writeAssessmentFile(const std::string& fileName, const std::string& text);

}  // namespace vl
