// Checks the figures of an installation against the lighting classes: each requirement
// with its required value, computed value, margin and pass or fail; per series the
// highest class met and the first requirement that stops the next one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/assessment/lighting_classes.hpp"

namespace vl::assessment {

// Luminance figures seen by one observer (maintained values; TI in %).
struct ObserverFigures {
    double averageLuminance = 0;
    double overallUniformity = 0;
    double lengthwiseUniformity = 0;
    double thresholdIncrement = 0;
};

// Everything the classes ask for, as plain numbers.
struct InstallationFigures {
    std::vector<ObserverFigures> observers;  // observer 1, observer 2, ...
    double edgeIlluminanceRatio = 0;         // the limiting (lower) edge's ratio
    double averageIlluminance = 0;           // maintained horizontal, lx
    double minimumIlluminance = 0;           // maintained horizontal, lx
};

// A figure on its limit passes; so does one within this relative distance of it, which
// only absorbs the rounding of the arithmetic that produced the figure.
inline constexpr double kLimitTolerance = 1e-9;

struct RequirementCheck {
    Requirement requirement;
    int observer = 0;    // 1-based observer of a luminance figure; 0 for the whole installation
    double computed = 0;
    double margin = 0;   // positive when met: computed - required, or required - computed for a maximum
    bool pass = false;
    std::string reason;  // why a figure could not be judged (not finite); empty otherwise
};

struct ClassAssessment {
    const LightingClass* lightingClass = nullptr;
    std::vector<RequirementCheck> checks;  // in table order, observer by observer
    bool met = false;

    const RequirementCheck* firstFailure() const;
};

struct SeriesAssessment {
    Series series = Series::M;
    const LightingClass* highestMet = nullptr;  // nullptr: not even the lowest class is met
    const LightingClass* stoppedClass = nullptr;  // the class above highestMet (or the lowest class); nullptr above the top
    std::optional<RequirementCheck> stopper;      // the first requirement of stoppedClass that fails
    std::vector<ClassAssessment> classes;         // every class of the series, highest first
};

struct AssessmentResult {
    std::optional<ClassAssessment> chosen;  // with a class named
    std::vector<SeriesAssessment> series;   // without: M, C, P
};

// One requirement against one figure.
RequirementCheck checkRequirement(const Requirement& requirement, double computed, int observer = 0);

ClassAssessment assessClass(const LightingClass& lightingClass, const InstallationFigures& figures);

SeriesAssessment assessSeries(Series series, const InstallationFigures& figures);

// The named class alone, or every series when chosen is nullptr.
AssessmentResult assess(const InstallationFigures& figures, const LightingClass* chosen);

}  // namespace vl::assessment
