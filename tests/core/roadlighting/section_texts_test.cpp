#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

// One expected line: a list text (width 0) or a label with its number field.
struct Expected {
    std::string text;
    int width = 0;
    int decimals = 0;
    std::size_t labelWidth = 50;
};

Expected L(const std::string& text) { return {text, 0, 0, 0}; }
Expected F(const std::string& label, int width = 7, int decimals = 2, std::size_t labelWidth = 50) {
    return {label, width, decimals, labelWidth};
}

// A right-aligned fixed-point field of the given width and decimals.
bool isFixedField(const std::string& field, int width, int decimals) {
    if (field.size() != static_cast<std::size_t>(width)) return false;
    const std::size_t point = field.find('.');
    if (point == std::string::npos) return false;
    if (field.size() - point - 1 != static_cast<std::size_t>(decimals)) return false;
    const std::size_t first = field.find_first_not_of(' ');
    return first != std::string::npos && field.find(' ', first) == std::string::npos;
}

void expectLines(const std::vector<std::string>& lines, std::size_t from, const std::vector<Expected>& expected,
                 const char* what) {
    ASSERT_LE(from + expected.size(), lines.size()) << what;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const Expected& e = expected[k];
        const std::string& line = lines[from + k];
        if (e.width == 0) {
            EXPECT_EQ(line, " " + e.text) << what << " line " << k + 1;
            continue;
        }
        const std::string label = e.labelWidth == 0 ? e.text : fmt::padded(e.text, e.labelWidth);
        ASSERT_GE(line.size(), label.size()) << what << " line " << k + 1;
        EXPECT_EQ(line.substr(0, label.size()), label) << what << " line " << k + 1;
        const std::string rest = line.substr(label.size());
        const std::string field = rest.substr(0, std::min(rest.size(), static_cast<std::size_t>(e.width)));
        EXPECT_TRUE(isFixedField(field, e.width, e.decimals)) << what << " line " << k + 1 << ": '" << line << "'";
    }
}

std::vector<Expected> observerBlock(const std::string& name) {
    return {L("    "),
            L(name),
            L("maintained luminance L (cd/m^2):"),
            F(" average:"),
            F(" rms:"),
            F(" minimum:"),
            F(" maximum:"),
            F(" overall uniformity U_0 (min/ave):"),
            F(" lengthwise uniformity U_L:")};
}

std::vector<Expected> bodyLines(bool console) {
    std::vector<Expected> b = {L("    "), L("observer at infinity"),
                               F(" average maintained luminance L_ave (cd/m^2):", 6, 2, 51)};
    for (const Expected& e : observerBlock("observer 1")) b.push_back(e);
    for (const Expected& e : observerBlock("observer 2")) b.push_back(e);
    const std::vector<Expected> rest = {
        L("    "),
        L("maintained horizontal illuminance E (lx):"),
        F(" average:"),
        F(" rms:"),
        F(" minimum:"),
        F(" maximum:"),
        F(" min/ave:"),
        F(" min/max:"),
        L("    "),
        L("average luminance per unit illuminance)(cd/lm)"),
        L("(luminance coefficient)"),
        F(" at infinity:", 7, 3),
        F(" observed:", 7, 3),
        L("average illuminance per unit luminance K (lx/cd/m^2)"),
        F(" at infinity:"),
        F(" observed:"),
        L("    "),
        L("veiling luminance on the road (cd/m^2):"),
        F(" maximum:"),
        F(" average:"),
        F(" minimum:"),
        L("    "),
        L("threshold increment TI %:"),
        F(" maximum (both observers):"),
        F(" maximum (observer 1):"),
        F(" maximum (observer 2):"),
        L(console ? "" : " "),
        L("glare rating index GR:"),
        F(" maximum:"),
        F(" average:"),
        F(" minimum:"),
        L("    "),
        L("maintained semicilindrical illuminance Esc (lx):"),
        F(" minimum:"),
        F(" average:"),
        F(" maximum:"),
        L("    "),
        L("maintained vertical illuminance Ev (lx):"),
        F(" minimum:"),
        F(" average:"),
        F(" maximum:"),
        L("    "),
        L("maintained hemispherical illuminance Ehs (lx):"),
        F(" minimum:"),
        F(" average:"),
        F(" maximum:"),
        F(" min/ave:"),
    };
    for (const Expected& e : rest) b.push_back(e);
    return b;
}

std::vector<Expected> energyLines(bool console) {
    return {L("    "),
            L(console ? std::string(54, '-') : std::string(64, '-')),
            L("Energy and cost parameters:"),
            L("    "),
            F(" utilization factor (flux on the road/lamp flux): ", 7, 3),
            F(" used fraction of the luminaire flux %:"),
            F(" wasted fraction of the luminaire flux %:"),
            F(" used fraction of the downward flux %:"),
            F(" wasted fraction of the downward flux %:"),
            L("    "),
            F(" luminaires per km:"),
            F(" installed lamp flux per unit length (klm/km):"),
            F(" installed lamp flux per unit area (lm/m^2):"),
            L("    "),
            L("installed lamp flux per unit length per unit luminance"),
            F(" initial (klm/km)/(cd/m^2)   :"),
            F(" maintained (klm/km)/(cd/m^2):"),
            L("installed lamp flux per unit area per unit luminance"),
            F(" (initial photometric efficacy, lm/cd)   :"),
            F(" (maintained photometric efficacy, lm/cd):"),
            L("    "),
            L("installed power per unit length per unit maintained luminance"),
            F(" (kW/km)/(cd/m^2):"),
            L("installed power per unit area per unit maintained luminance"),
            F(" (energetic efficacy, W/cd):")};
}

class SectionTexts : public ::testing::Test {
protected:
    void SetUp() override {
        dir.copyAllBundled();
        test::ConsoleCapture quiet;
        test::useInstallation(test::defaultInstallation(), test::gridRecord(1, 10, 'c', 6, 'c'));
        test::installBundledData();
        reportFile().create("texts.doc");
        {
            test::ConsoleCapture capture;
            computeRoadLighting();
            console = capture.lines();
        }
        reportFile().close();
        report = test::readLines("texts.doc");
    }
    static std::size_t after(const std::vector<std::string>& lines, const std::string& line) {
        return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    test::ScratchDir dir;
    std::vector<std::string> console;
    std::vector<std::string> report;
};

TEST_F(SectionTexts, RoadLightingBodyLetterForLetterOnBothStreams) {
    const std::vector<Expected> c = bodyLines(true);
    const std::vector<Expected> r = bodyLines(false);
    ASSERT_EQ(c.size(), 68u);
    expectLines(console, after(console, " Road lighting parameters:") + 3, c, "console body");
    expectLines(report, after(report, " Road lighting parameters:") + 3, r, "report body");
}

TEST_F(SectionTexts, EnergySectionLetterForLetterOnBothStreams) {
    const std::string lamp = fmt::padded(state().lamp.lampType, 20);
    for (const bool onConsole : {true, false}) {
        const std::vector<std::string>& lines = onConsole ? console : report;
        const std::size_t head = after(lines, " Energy and cost parameters:") - 2;
        const std::vector<Expected> expected = energyLines(onConsole);
        expectLines(lines, head, expected, onConsole ? "console energy" : "report energy");
        const std::size_t tail = head + expected.size();
        ASSERT_EQ(tail + 2, lines.size());
        EXPECT_EQ(lines[tail], std::string(onConsole ? " evaluated for lamp " : " evaluated for lamp") + lamp);
        EXPECT_EQ(lines[tail + 1].substr(0, 39), " with lamp efficacy (including ballast)");
        EXPECT_TRUE(isFixedField(lines[tail + 1].substr(39, 5), 5, 1));
        EXPECT_EQ(lines[tail + 1].substr(44), " lm/w");
    }
}

TEST_F(SectionTexts, GridDataLabelsAndFields) {
    const std::vector<Expected> expected = {
        L("    "),
        L(std::string(54, '-')),
        L("Grid data:"),
        L("    "),
        L("adopted grid " + fmt::padded(state().grid.gridTitle, 40)),
        F(" luminaire spacing (m)"),
        F(" luminaire spacing ratio"),
        F(" luminaire tilt for computation (deg)"),
        F(" road width (m)"),
        L("grid points along X 10"),
        L("grid points along Y 6"),
        F(" grid dX (m)"),
        F(" grid dY (m)"),
        L("points along X start at half cellsize from the border"),
        F(" first/last grid point x=", 6, 2, 0),
        L("points along Y start at half cellsize from the border"),
        F(" first/last grid point y=", 6, 2, 0),
        F(" luminaire at x=0.0, y=", 6, 2, 0),
    };
    expectLines(console, 0, expected, "grid data");
    EXPECT_EQ(console[14], " first/last grid point x=  1.20, x= 22.80");
    EXPECT_EQ(console[16], " first/last grid point y=  0.58, y=  6.42");
    EXPECT_EQ(console[18], " observer 1 at z=  1.50, x=-60.00, y=  1.75");
    EXPECT_EQ(console[19], " observer 2 at z=  1.50, x=-60.00, y=  5.25");
    EXPECT_EQ(console[5], fmt::padded(" luminaire spacing (m)", 50) + "  24.00");
    EXPECT_EQ(console[6], fmt::padded(" luminaire spacing ratio", 50) + fmt::F(24.0 / 7.0, 7, 2));
}

}  // namespace
}  // namespace vl
