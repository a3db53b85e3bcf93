#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "writers/assessment_text.hpp"

namespace vl {
namespace {

using namespace assessment;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

AssessmentReport report(const LightingClass* chosen) {
    AssessmentReport r;
    r.heading = {"run 202612081030"};
    r.roadWidth = 7.0;
    r.edges.stripWidth = 3.5;
    r.edges.pointsAlong = 10;
    r.edges.pointsAcross = 3;
    r.edges.edges[0] = {18.0, 9.0, 0.5};
    r.edges.edges[1] = {16.0, 4.0, 0.25};
    r.edges.ratio = 0.25;
    r.edges.limitingEdge = RoadEdge::Far;
    const InstallationFigures f{{{1.2, 0.45, 0.65, std::numeric_limits<double>::infinity()}, {0.99998, 0.42, 0.55, 14}},
                                0.25, 25, 10};
    r.classes = assess(f, chosen);
    EnergyInputs in;
    in.subAreas = spacingSubAreas(24, 7, 20, r.edges);
    in.lampFlux = 6.5;
    in.declaredWattage = 1;
    in.declaredFlux = 400;
    r.energy = computeEnergyIndicators(in);
    return r;
}

TEST(AssessmentText, OneClassTableAlignedWithItsVerdicts) {
    const std::string text = assessmentText(report(findLightingClass("M3")));
    // Every requirement line has its verdict in the same column.
    std::set<std::size_t> verdictColumns;
    int requirementLines = 0;
    for (const std::string& l : lines(text)) {
        if (l.size() > 6 && (l.ends_with("  pass") || l.ends_with("  FAIL"))) {
            verdictColumns.insert(l.size());
            ++requirementLines;
        }
    }
    EXPECT_EQ(requirementLines, 9);
    EXPECT_EQ(verdictColumns.size(), 1u) << text;
    EXPECT_TRUE(contains(text, "    threshold increment TI (%)          max      15.00   Infinity  -Infinity  FAIL\n"))
        << text;
    EXPECT_TRUE(contains(text, "    lengthwise uniformity UL            min      0.600      0.550     -0.050  FAIL\n"))
        << text;
    // A failure by less than the last decimal keeps its minus sign.
    EXPECT_TRUE(contains(text, "    average luminance L (cd/m^2)        min      1.000      1.000     -0.000  FAIL\n"))
        << text;
    EXPECT_TRUE(contains(text, "      reason: infinite"));
    EXPECT_TRUE(contains(text, "      limiting edge: edge y = W (7.00 m)\n"));
    EXPECT_TRUE(contains(text, "  M3: NOT met\n"));
    EXPECT_TRUE(contains(text, "  R_EI = 0.250, the edge y = W (7.00 m) limits it\n"));
    // Energy figures with their assumptions and the efficacy flag.
    EXPECT_TRUE(contains(text, "lamp efficacy                             400.0  lm/W  IMPLAUSIBLE"));
    EXPECT_TRUE(contains(text, "system power per luminaire P              16.25  W (declared in the photometry)"));
    for (const std::string& a : report(nullptr).energy.assumptions) EXPECT_TRUE(contains(text, "    - " + a + "\n"));
}

TEST(AssessmentText, EachSeriesWithItsHighestClassAndWhatStopsTheNext) {
    const std::string text = assessmentText(report(nullptr));
    EXPECT_TRUE(contains(text, "  series M: no class met\n"));  // TI of observer 1 is infinite
    EXPECT_TRUE(contains(text, "    M6 is stopped by observer 1 threshold increment TI (%): required at most 20.00, "
                               "computed Infinity"))
        << text;
    EXPECT_TRUE(contains(text, "  series C: C2 met\n    C1 is stopped by average illuminance E (lx)"));
    EXPECT_TRUE(contains(text, "  series P: P1 met\n    the highest class of the series\n"));
    EXPECT_TRUE(contains(text, "Lighting class C2\n"));
    EXPECT_EQ(assessmentFileName("202612081030"), "assessment_202612081030.txt");
}

}  // namespace
}  // namespace vl
