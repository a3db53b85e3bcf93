#include "core/assessment/class_assessment.hpp"

#include <cmath>
#include <limits>

namespace vl::assessment {

namespace {

bool perObserver(Quantity quantity) {
    return quantity == Quantity::AverageLuminance || quantity == Quantity::LuminanceUniformity ||
           quantity == Quantity::LengthwiseUniformity || quantity == Quantity::ThresholdIncrement;
}

double observerFigure(const ObserverFigures& o, Quantity quantity) {
    switch (quantity) {
        case Quantity::AverageLuminance: return o.averageLuminance;
        case Quantity::LuminanceUniformity: return o.overallUniformity;
        case Quantity::LengthwiseUniformity: return o.lengthwiseUniformity;
        case Quantity::ThresholdIncrement: return o.thresholdIncrement;
        default: return std::numeric_limits<double>::quiet_NaN();
    }
}

double installationFigure(const InstallationFigures& f, Quantity quantity) {
    switch (quantity) {
        case Quantity::EdgeIlluminanceRatio: return f.edgeIlluminanceRatio;
        case Quantity::AverageIlluminance: return f.averageIlluminance;
        case Quantity::IlluminanceUniformity: return f.minimumIlluminance / f.averageIlluminance;
        case Quantity::MinimumIlluminance: return f.minimumIlluminance;
        default: return std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace

const RequirementCheck* ClassAssessment::firstFailure() const {
    for (const RequirementCheck& c : checks) {
        if (!c.pass) return &c;
    }
    return nullptr;
}

RequirementCheck checkRequirement(const Requirement& requirement, double computed, int observer) {
    RequirementCheck check;
    check.requirement = requirement;
    check.observer = observer;
    check.computed = computed;
    const double required = requirement.value;
    check.margin = requirement.bound == Bound::Minimum ? computed - required : required - computed;
    if (std::isnan(computed)) {
        check.pass = false;
        check.reason = "not a number: a zero divisor (unlit road, empty grid or missing figure)";
        return check;
    }
    if (std::isinf(computed)) {
        check.pass = false;
        check.reason = "infinite: a zero divisor (nothing lit where the figure divides)";
        return check;
    }
    check.pass = check.margin >= -kLimitTolerance * std::fabs(required);
    return check;
}

ClassAssessment assessClass(const LightingClass& lightingClass, const InstallationFigures& figures) {
    ClassAssessment result;
    result.lightingClass = &lightingClass;
    // With no observer figures the luminance requirements are judged on missing (NaN)
    // figures, so they fail instead of vanishing.
    std::vector<ObserverFigures> observers = figures.observers;
    if (observers.empty()) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        observers.push_back({nan, nan, nan, nan});
    }
    for (std::size_t m = 0; m < observers.size(); ++m) {
        for (const Requirement& r : lightingClass.list()) {
            if (!perObserver(r.quantity)) continue;
            result.checks.push_back(
                checkRequirement(r, observerFigure(observers[m], r.quantity), static_cast<int>(m) + 1));
        }
    }
    for (const Requirement& r : lightingClass.list()) {
        if (perObserver(r.quantity)) continue;
        result.checks.push_back(checkRequirement(r, installationFigure(figures, r.quantity)));
    }
    result.met = result.firstFailure() == nullptr;
    return result;
}

SeriesAssessment assessSeries(Series series, const InstallationFigures& figures) {
    SeriesAssessment result;
    result.series = series;
    for (const LightingClass& c : seriesClasses(series)) result.classes.push_back(assessClass(c, figures));
    // Classes run from the highest to the lowest: the highest met is the first met. The
    // tables are monotone, so every lower class is then met too.
    for (std::size_t k = 0; k < result.classes.size(); ++k) {
        if (!result.classes[k].met) continue;
        result.highestMet = result.classes[k].lightingClass;
        if (k > 0) result.stoppedClass = result.classes[k - 1].lightingClass;
        break;
    }
    if (result.highestMet == nullptr && !result.classes.empty()) {
        result.stoppedClass = result.classes.back().lightingClass;
    }
    for (const ClassAssessment& c : result.classes) {
        const RequirementCheck* failure = c.firstFailure();
        if (c.lightingClass == result.stoppedClass && failure != nullptr) result.stopper = *failure;
    }
    return result;
}

AssessmentResult assess(const InstallationFigures& figures, const LightingClass* chosen) {
    AssessmentResult result;
    if (chosen != nullptr) {
        result.chosen = assessClass(*chosen, figures);
        return result;
    }
    for (Series s : {Series::M, Series::C, Series::P}) result.series.push_back(assessSeries(s, figures));
    return result;
}

}  // namespace vl::assessment
