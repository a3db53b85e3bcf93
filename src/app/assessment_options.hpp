// Command-line options of the lighting class assessment: --assess [CLASS], --power WATTS,
// --hours H and --profile "H1@P1,H2@P2,...".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/assessment/energy_indicators.hpp"
#include "core/assessment/lighting_classes.hpp"

namespace vl {

struct AssessmentOptions {
    bool assess = false;
    const assessment::LightingClass* lightingClass = nullptr;  // nullptr: every series
    std::optional<double> power;                               // W per luminaire
    assessment::OperatingProfile profile;                      // 4000 h at full power unless given
};

struct AssessmentArguments {
    AssessmentOptions options;
    std::vector<std::string> otherArguments;  // everything else, in order, for the caller
    std::string usageError;                   // names the option and what it accepts; empty when fine

    bool ok() const { return usageError.empty(); }
};

// Takes the assessment options out of the arguments (each as "--opt VALUE" or
// "--opt=VALUE"). --assess takes the next argument as its class unless it starts with
// "-". --power, --hours and --profile go with --assess; --hours and --profile exclude
// each other; no option may be given twice.
AssessmentArguments parseAssessmentArguments(const std::vector<std::string>& arguments);

// "H1@P1,H2@P2,...": hours a year (0..8760 together) at percent of full power (0..100,
// an optional "%"). Returns an error text, empty when the profile is sound.
std::string parseOperatingProfile(const std::string& text, assessment::OperatingProfile& profile);

}  // namespace vl
