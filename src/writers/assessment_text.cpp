#include "writers/assessment_text.hpp"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "writers/streams.hpp"

namespace vl {

namespace {

using namespace assessment;

constexpr int kLabelWidth = 36;
constexpr int kNumberWidth = 11;

// Right-aligned fixed point; non-finite values as NaN, Infinity, -Infinity.
std::string fixed(double value, int decimals, int width = kNumberWidth, bool sign = false) {
    std::string text;
    if (std::isnan(value)) {
        text = "NaN";
    } else if (std::isinf(value)) {
        text = value > 0 ? "Infinity" : "-Infinity";
    } else {
        // A figure that rounds to zero prints without a minus sign; a margin keeps its sign,
        // so that a failure by less than the last decimal reads -0.000.
        if (!sign && std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, sign ? "%+.*f" : "%.*f", decimals, value);
        text = buffer;
    }
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string padRight(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.append(static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

int decimalsOf(Quantity q) {
    switch (q) {
        case Quantity::ThresholdIncrement:
        case Quantity::AverageIlluminance:
        case Quantity::MinimumIlluminance: return 2;
        default: return 3;
    }
}

std::string requirementLabel(Quantity q) {
    std::string label = std::string(quantityName(q)) + " " + std::string(quantitySymbol(q));
    const std::string_view unit = quantityUnit(q);
    if (!unit.empty()) label += " (" + std::string(unit) + ")";
    return label;
}

std::string edgeName(RoadEdge edge, double roadWidth) {
    return edge == RoadEdge::Near ? "edge y = 0" : "edge y = W (" + fixed(roadWidth, 2, 0) + " m)";
}

void line(std::string& out, std::string_view text = {}) {
    out += text;
    out += '\n';
}

std::string checkLine(const RequirementCheck& c) {
    const int d = decimalsOf(c.requirement.quantity);
    return "    " + padRight(requirementLabel(c.requirement.quantity), kLabelWidth) +
           (c.requirement.bound == Bound::Minimum ? "min" : "max") + fixed(c.requirement.value, d) +
           fixed(c.computed, d) + fixed(c.margin, d, kNumberWidth, true) + "  " + (c.pass ? "pass" : "FAIL");
}

std::string checkSummary(const RequirementCheck& c) {
    const int d = decimalsOf(c.requirement.quantity);
    std::string who = c.observer > 0 ? "observer " + std::to_string(c.observer) + " " : "";
    std::string text = who + requirementLabel(c.requirement.quantity) + ": required " +
                       (c.requirement.bound == Bound::Minimum ? "at least " : "at most ") +
                       fixed(c.requirement.value, d, 0) + ", computed " + fixed(c.computed, d, 0) + ", margin " +
                       fixed(c.margin, d, 0, true);
    if (!c.reason.empty()) text += " (" + c.reason + ")";
    return text;
}

void writeClass(std::string& out, const ClassAssessment& a, const EdgeStripResult& edges, double roadWidth) {
    line(out, "Lighting class " + std::string(a.lightingClass->name));
    line(out, "    " + padRight("requirement", kLabelWidth) + "   " + "   required" + "   computed" +
                  "     margin" + "  result");
    int observer = -1;
    for (const RequirementCheck& c : a.checks) {
        if (c.observer != observer) {
            observer = c.observer;
            line(out, observer > 0 ? "  observer " + std::to_string(observer) : std::string("  installation"));
        }
        line(out, checkLine(c));
        if (!c.reason.empty()) line(out, "      reason: " + c.reason);
        if (c.requirement.quantity == Quantity::EdgeIlluminanceRatio) {
            line(out, "      limiting edge: " + edgeName(edges.limitingEdge, roadWidth));
        }
    }
    line(out, "  " + std::string(a.lightingClass->name) + (a.met ? ": met" : ": NOT met"));
}

void writeEdges(std::string& out, const EdgeStripResult& e, double roadWidth) {
    line(out, "Edge illuminance ratio R_EI");
    line(out, "  strips " + fixed(e.stripWidth, 2, 0) +
                  " m wide (the least of 5 m, half the road width and the unobstructed width), " +
                  std::to_string(e.pointsAlong) + " x " + std::to_string(e.pointsAcross) +
                  " points each (the road grid's columns along the road)");
    line(out, "  " + padRight("", 22) + "  inside (lx)" + " outside (lx)" + "      ratio");
    for (RoadEdge edge : {RoadEdge::Near, RoadEdge::Far}) {
        const EdgeStrip& s = e.edges[edge == RoadEdge::Near ? 0 : 1];
        line(out, "  " + padRight(edgeName(edge, roadWidth), 22) + fixed(s.insideAverage, 2, 13) +
                      fixed(s.outsideAverage, 2, 13) + fixed(s.ratio, 3) +
                      (edge == e.limitingEdge ? "  limiting" : ""));
    }
    line(out, "  R_EI = " + fixed(e.ratio, 3, 0) + ", the " + edgeName(e.limitingEdge, roadWidth) + " limits it");
}

void writeEnergy(std::string& out, const EnergyIndicators& e) {
    line(out, "Energy indicators (EN 13201-5), one luminaire per spacing");
    line(out, "  " + padRight("power density indicator D_P", kLabelWidth) + fixed(e.powerDensity, 4) + "  W/(lx m^2)");
    line(out, "  " + padRight("annual energy consumption D_E", kLabelWidth) + fixed(e.annualEnergyConsumption, 1) +
                  "  Wh/m^2 a year");
    line(out, "  " + padRight("system power per luminaire P", kLabelWidth) + fixed(e.systemPower, 2) + "  W (" +
                  (e.powerSource == PowerSource::Override ? "given with --power" : "declared in the photometry") +
                  ")");
    line(out, "  " + padRight("lamp efficacy", kLabelWidth) + fixed(e.lampEfficacy, 1) + "  lm/W" +
                  (e.efficacyImplausible ? "  IMPLAUSIBLE: outside 20..250 lm/W, check the wattage" : ""));
    line(out, "  " + padRight("annual energy per luminaire", kLabelWidth) + fixed(e.annualEnergy, 0) + "  Wh");
    line(out);
    line(out, "  " + padRight("area", kLabelWidth) + "    A (m^2)" + "     E (lx)" + "  E*A (lx m^2)");
    for (const SubArea& a : e.subAreas) {
        line(out, "    " + padRight(a.name, kLabelWidth - 2) + fixed(a.area, 2) + fixed(a.illuminance, 2) +
                      fixed(a.area * a.illuminance, 1, 14));
    }
    line(out, "    " + padRight("all areas", kLabelWidth - 2) + fixed(e.totalArea, 2) + std::string(kNumberWidth, ' ') +
                  fixed(e.illuminatedArea, 1, 14));
    line(out);
    line(out, "  " + padRight("operating profile", kLabelWidth) + "  hours (h)" + "  % of full");
    for (std::size_t k = 0; k < e.profile.periods.size(); ++k) {
        const OperatingPeriod& p = e.profile.periods[k];
        line(out, "    " + padRight("period " + std::to_string(k + 1), kLabelWidth - 2) + fixed(p.hours, 1) +
                      fixed(p.percentOfFullPower, 1));
    }
    line(out, "    " + padRight("hours at full power, equivalent", kLabelWidth - 2) + fixed(e.fullPowerHours, 1));
    line(out);
    line(out, "  assumptions:");
    for (const std::string& a : e.assumptions) line(out, "    - " + a);
    if (!e.problems.empty()) {
        line(out, "  not computed:");
        for (const std::string& p : e.problems) line(out, "    - " + p);
    }
}

}  // namespace

std::string assessmentFileName(const std::string& stamp) { return "assessment_" + stamp + ".txt"; }

std::string assessmentText(const AssessmentReport& report) {
    std::string out;
    line(out, "Lighting class assessment");
    for (const std::string& h : report.heading) line(out, h);
    line(out, "Class tables: " + std::string(kClassTableSource));
    line(out, "Requirements are maintained values, minima except TI (a maximum); a figure on its limit passes.");
    line(out, "Margin: computed minus required for a minimum, required minus computed for a maximum.");
    line(out);
    const double w = report.roadWidth;
    if (report.classes.chosen) {
        writeClass(out, *report.classes.chosen, report.edges, w);
    } else {
        line(out, "Highest class met in each series");
        for (const SeriesAssessment& s : report.classes.series) {
            const std::string met = s.highestMet ? std::string(s.highestMet->name) + " met" : "no class met";
            line(out, "  series " + std::string(seriesName(s.series)) + ": " + met);
            if (s.stopper && s.stoppedClass) {
                line(out, "    " + std::string(s.stoppedClass->name) + " is stopped by " + checkSummary(*s.stopper));
            } else {
                line(out, "    the highest class of the series");
            }
        }
        for (const SeriesAssessment& s : report.classes.series) {
            const LightingClass* shown = s.highestMet ? s.highestMet : s.stoppedClass;
            for (const ClassAssessment& a : s.classes) {
                if (a.lightingClass != shown) continue;
                line(out);
                writeClass(out, a, report.edges, w);
            }
        }
    }
    line(out);
    writeEdges(out, report.edges, w);
    line(out);
    writeEnergy(out, report.energy);
    return out;
}

void writeAssessmentFile(const std::string& fileName, const std::string& text) {
    OutputFile file;
    file.create(fileName);
    file.write(text);
    file.close();
}

}  // namespace vl
