#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/assessment/class_assessment.hpp"

namespace vl::assessment {
namespace {

using Q = Quantity;

// The numbers of EN 13201-2 as the issue quotes them, typed again independently: M L, U0,
// UL, TI (the one maximum), R_EI; C Ē, U0; P Ē, E_min.
TEST(LightingClassTables, HoldTheStandardsNumbers) {
    struct Row { const char* name; std::vector<double> values; };
    const Row rows[] = {
        {"M1", {2.00, 0.40, 0.70, 10, 0.35}}, {"M2", {1.50, 0.40, 0.70, 10, 0.35}}, {"M3", {1.00, 0.40, 0.60, 15, 0.30}},
        {"M4", {0.75, 0.40, 0.60, 15, 0.30}}, {"M5", {0.50, 0.35, 0.40, 15, 0.30}}, {"M6", {0.30, 0.35, 0.40, 20, 0.30}},
        {"C0", {50, 0.40}}, {"C1", {30, 0.40}}, {"C2", {20, 0.40}}, {"C3", {15, 0.40}}, {"C4", {10, 0.40}},
        {"C5", {7.5, 0.40}}, {"P1", {15, 3.0}}, {"P2", {10, 2.0}}, {"P3", {7.5, 1.5}}, {"P4", {5.0, 1.0}},
        {"P5", {3.0, 0.6}}, {"P6", {2.0, 0.4}}};
    const std::vector<Q> m = {Q::AverageLuminance, Q::LuminanceUniformity, Q::LengthwiseUniformity,
                              Q::ThresholdIncrement, Q::EdgeIlluminanceRatio};
    const std::vector<Q> c = {Q::AverageIlluminance, Q::IlluminanceUniformity};
    const std::vector<Q> p = {Q::AverageIlluminance, Q::MinimumIlluminance};
    ASSERT_EQ(lightingClasses().size(), 18u);
    for (std::size_t k = 0; k < 18; ++k) {
        const LightingClass& lc = lightingClasses()[k];
        SCOPED_TRACE(rows[k].name);
        EXPECT_EQ(lc.name, rows[k].name);
        EXPECT_EQ(&seriesClasses(lc.series)[k % 6], &lc);
        const std::vector<Q>& q = lc.series == Series::M ? m : lc.series == Series::C ? c : p;
        ASSERT_EQ(lc.list().size(), q.size());
        for (std::size_t j = 0; j < q.size(); ++j) {
            EXPECT_EQ(lc.list()[j].quantity, q[j]);
            EXPECT_EQ(lc.list()[j].value, rows[k].values[j]);
            EXPECT_EQ(lc.list()[j].bound, q[j] == Q::ThresholdIncrement ? Bound::Maximum : Bound::Minimum);
        }
    }
}

TEST(LightingClassTables, NamesAreFoundInEitherCase) {
    ASSERT_NE(findLightingClass("m3"), nullptr);
    EXPECT_EQ(findLightingClass("m3")->name, "M3");
    EXPECT_EQ(findLightingClass("C0")->series, Series::C);
    for (const char* bad : {"", "M", "M7", "C6", "P0", "M10", "X1", "3M"}) EXPECT_EQ(findLightingClass(bad), nullptr) << bad;
}

InstallationFigures figures(ObserverFigures o1, ObserverFigures o2, double rei, double e, double emin) {
    return {{o1, o2}, rei, e, emin};
}

TEST(ClassAssessment, AFigureOnItsLimitPasses) {
    // Every figure exactly on M3's limits, and U0 as a quotient that lands a hair below 0.4.
    const ObserverFigures o{1.00, 0.36 / 0.9, 0.60, 15};
    ASSERT_LT(0.36 / 0.9, 0.4);
    const ClassAssessment a = assessClass(*findLightingClass("M3"), figures(o, o, 0.30, 0, 0));
    EXPECT_TRUE(a.met);
    ASSERT_EQ(a.checks.size(), 9u);  // four per observer and R_EI once
    for (const RequirementCheck& c : a.checks) {
        EXPECT_TRUE(c.pass);
        EXPECT_NEAR(c.margin, 0.0, 1e-15);
    }
    // Just over the TI maximum, just under a minimum: fail, with the margin's sign.
    const RequirementCheck ti = checkRequirement({Q::ThresholdIncrement, Bound::Maximum, 15}, 15.001, 2);
    EXPECT_FALSE(ti.pass);
    EXPECT_NEAR(ti.margin, -0.001, 1e-12);
    EXPECT_EQ(ti.observer, 2);
    const RequirementCheck l = checkRequirement({Q::AverageLuminance, Bound::Minimum, 1.0}, 0.9999);
    EXPECT_FALSE(l.pass);
    EXPECT_TRUE(l.reason.empty());
    EXPECT_TRUE(checkRequirement({Q::ThresholdIncrement, Bound::Maximum, 15}, 3).pass);
}

TEST(ClassAssessment, HighestClassMetAndTheRequirementThatStopsTheNext) {
    // Observer 1 would reach M3, observer 2's UL of 0.55 holds the series at M5.
    const auto f = figures({1.2, 0.45, 0.65, 12}, {1.1, 0.42, 0.55, 14}, 0.5, 25, 10);
    const AssessmentResult r = assess(f, nullptr);
    ASSERT_EQ(r.series.size(), 3u);
    EXPECT_FALSE(r.chosen.has_value());

    const SeriesAssessment& m = r.series[0];
    ASSERT_NE(m.highestMet, nullptr);
    EXPECT_EQ(m.highestMet->name, "M5");
    EXPECT_EQ(m.stoppedClass->name, "M4");
    ASSERT_TRUE(m.stopper.has_value());
    EXPECT_EQ(m.stopper->requirement.quantity, Q::LengthwiseUniformity);
    EXPECT_EQ(m.stopper->observer, 2);
    EXPECT_NEAR(m.stopper->margin, -0.05, 1e-12);

    const SeriesAssessment& c = r.series[1];  // 25 lx, U0 0.40: C2, stopped by C1's 30 lx
    EXPECT_EQ(c.highestMet->name, "C2");
    EXPECT_EQ(c.stopper->requirement.quantity, Q::AverageIlluminance);

    const SeriesAssessment& p = r.series[2];  // the top class: nothing stops it
    EXPECT_EQ(p.highestMet->name, "P1");
    EXPECT_EQ(p.stoppedClass, nullptr);
    EXPECT_FALSE(p.stopper.has_value());

    // A named class alone.
    const AssessmentResult one = assess(f, findLightingClass("M4"));
    ASSERT_TRUE(one.chosen.has_value());
    EXPECT_TRUE(one.series.empty());
    EXPECT_FALSE(one.chosen->met);
    EXPECT_EQ(one.chosen->firstFailure()->observer, 2);
}

TEST(ClassAssessment, AnUnlitRoadFailsWithReasonsInsteadOfCrashing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const ObserverFigures dark{0.0, nan, nan, inf};  // 0/0 uniformities, TI over a zero luminance
    const AssessmentResult r = assess(figures(dark, dark, nan, 0, 0), nullptr);
    for (const SeriesAssessment& s : r.series) {
        EXPECT_EQ(s.highestMet, nullptr);
        ASSERT_NE(s.stoppedClass, nullptr);
        EXPECT_EQ(s.stoppedClass, &seriesClasses(s.series).back());
        ASSERT_TRUE(s.stopper.has_value());
    }
    const ClassAssessment m6 = assessClass(*findLightingClass("M6"), figures(dark, dark, nan, 0, 0));
    int withReason = 0;
    for (const RequirementCheck& c : m6.checks) {
        EXPECT_FALSE(c.pass);
        if (!std::isfinite(c.computed)) {
            EXPECT_FALSE(c.reason.empty());
            ++withReason;
        }
    }
    EXPECT_EQ(withReason, 7);  // U0, UL, TI of two observers and R_EI
    // C's U0 is Emin / Eave = 0 / 0.
    EXPECT_FALSE(assessClass(*findLightingClass("C5"), figures(dark, dark, nan, 0, 0)).checks[1].reason.empty());
    // No observer figures at all: the luminance requirements fail rather than vanish.
    const ClassAssessment none = assessClass(*findLightingClass("M6"), InstallationFigures{{}, 1.0, 10, 5});
    EXPECT_FALSE(none.met);
    EXPECT_EQ(none.checks.size(), 5u);
}

}  // namespace
}  // namespace vl::assessment
