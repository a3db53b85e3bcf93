// Whole runs of the program, on the bundled installation and on small cases made here:
// the order of the sections on the three streams, the shape of the data tables and plot
// images, repeated runs (same minute, same process) and the rotation-only runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/driver.hpp"
#include "app/installation_file.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::readLines;
using test::runProgram;
using Lines = std::vector<std::string>;

const std::string kConsoleSeparator = " " + std::string(54, '-');
const std::string kReportSeparator = " " + std::string(64, '-');
const std::string kEnd = "<end of stream>";

Lines splitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The text of a list line (its own leading blank removed).
std::string listText(const std::string& line) { return !line.empty() && line[0] == ' ' ? line.substr(1) : line; }

// The line after each separator line, as list text.
Lines titlesAfterSeparators(const Lines& lines, const std::string& separator) {
    Lines titles;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k] == separator) titles.push_back(k + 1 < lines.size() ? listText(lines[k + 1]) : kEnd);
    }
    return titles;
}

std::string stampOf(const std::string& clock) { return clock.substr(0, 12); }
std::string reportOf(const std::string& clock) { return "report_nocturne_" + stampOf(clock) + ".doc"; }
std::string dataOf(const std::string& clock) { return "outdat_nocturne_" + stampOf(clock) + ".doc"; }
const std::vector<std::string> kImagePrefixes = {"uplmp_", "uproa_", "uptot_", "upro2_", "upto2_"};

class FixedClock {
public:
    explicit FixedClock(const std::string& clock) { ::setenv("VESPERLUMINAL_CLOCK", clock.c_str(), 1); }
    ~FixedClock() { ::unsetenv("VESPERLUMINAL_CLOCK"); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

test::ProgramResult runAt(const std::string& clock, const std::string& arguments) {
    FixedClock fixed(clock);
    return runProgram(arguments);
}

// A small Eulumdat file: C 0..345 step 15 (Mc 24), gamma 0..180 step 5 (Ng 37), one lamp
// set, rotational symmetry. Downward intensity 250 - gamma, upward a constant 15 cd/klm.
std::string syntheticEulumdat() {
    std::ostringstream f;
    f << "Synthetic test optics\n1\n1\n24\n15\n37\n5\nrep-1\nSynthetic luminaire\nSL-1\nsynthetic.ldt\n"
         "2024-01-01 tester\n";
    for (const char* dim : {"100", "0", "400", "150", "0", "300", "100", "100", "100"}) f << dim << "\n";
    f << "80\n75\n1\n0\n1\n";
    f << "1\nHST 100W\n10000\n2000K\n20\n110\n";
    for (int k = 0; k < 10; ++k) f << "0.5\n";
    for (int c = 0; c < 24; ++c) f << 15 * c << "\n";
    for (int g = 0; g < 37; ++g) f << 5 * g << "\n";
    for (int g = 0; g < 37; ++g) f << (5 * g < 90 ? 250 - 5 * g : 15) << "\n";
    return f.str();
}

const char* kSmallGrids =
    "Small field 4 x 3, half cells\n1 4 c 3 c 60.0 1.5 0.25 0.75\n"
    "Wide field 120 x 2 from the border\n2 120 b 2 b 60.0 1.5 0.25 0.75\n";

// The bundled installation with the synthetic photometry and the small grids.
void prepareSmallCase(const test::ScratchDir& dir) {
    dir.copyAllBundled();
    dir.write("synthetic.ldt", syntheticEulumdat());
    dir.write("grid.dat", kSmallGrids);
}

int surfaceRowCount(const fs::path& surfaceFile) {
    const Lines srt = readLines(surfaceFile);
    return std::stoi(srt.at(13)) * std::stoi(srt.at(14));  // beta count x tan gamma count
}

// ----- Walking the DataFile's tables -----------------------------------------------

int fieldsOnLine(int values, int firstLineCapacity, int lineCapacity, int line) {
    if (line == 0) return std::min(values, firstLineCapacity);
    return std::min(values - firstLineCapacity - (line - 1) * lineCapacity, lineCapacity);
}

// Checks one map table (tables 1-7) starting at p; returns the index after it.
std::size_t expectMapTable(const Lines& d, std::size_t p, const Lines& titles, int nX, int nY) {
    const std::string where = "map table \"" + titles.front() + "\" at line " + std::to_string(p + 1);
    EXPECT_EQ(d.at(p++), "  ") << where;
    for (const auto& title : titles) EXPECT_EQ(d.at(p++), " " + title) << where;
    // Axis: "  y/x     " + up to 100 F7.2 per line, the layout starting over on each line.
    const int axisLines = (nX + 99) / 100;
    for (int a = 0; a < axisLines; ++a, ++p) {
        const int n = fieldsOnLine(nX, 100, 100, a);
        EXPECT_EQ(d.at(p).substr(0, 10), "  y/x     ") << where << " axis line " << a;
        EXPECT_EQ(d.at(p).size(), 10u + 7u * static_cast<unsigned>(n)) << where << " axis line " << a;
    }
    EXPECT_EQ(d.at(p++), "  ") << where;
    // Rows (F7.2, F10.2, 99F7.2): y then 100 values on the first line, 101 fields per
    // continuation line (F7.2, F10.2, F7.2 ...).
    const int rowLines = nX <= 100 ? 1 : 1 + (nX - 100 + 100) / 101;
    for (int j = 0; j < nY; ++j) {
        for (int r = 0; r < rowLines; ++r, ++p) {
            const int fields = r == 0 ? 1 + std::min(nX, 100) : fieldsOnLine(nX, 100, 101, r);
            const std::size_t width = fields == 1 ? 7u : 17u + 7u * static_cast<unsigned>(fields - 2);
            EXPECT_EQ(d.at(p).size(), width) << where << " row " << j << " line " << r;
        }
    }
    return p;
}

// Checks one listing table (tables 8-11) starting at p; returns the index after it.
std::size_t expectListingTable(const Lines& d, std::size_t p, const Lines& titles, const std::string& heading,
                               int rows) {
    const std::string where = "listing \"" + titles.front() + "\" at line " + std::to_string(p + 1);
    EXPECT_EQ(d.at(p++), "  ") << where;
    for (const auto& title : titles) EXPECT_EQ(d.at(p++), " " + title) << where;
    EXPECT_EQ(d.at(p++), "  ") << where;
    EXPECT_EQ(d.at(p++), " " + heading) << where;
    EXPECT_EQ(d.at(p++), "  ") << where;
    for (int r = 0; r < rows; ++r, ++p) {
        if (p >= d.size()) {
            ADD_FAILURE() << where << ": the file ends after " << r << " of " << rows << " rows";
            return p;
        }
        EXPECT_EQ(d[p].size(), 40u) << where << " row " << r << ": " << d[p];
    }
    return p;
}

const std::string kPhotometryHeading = " C-angle    Gamma-angle   Intensity per unit lamp flux";

// Walks tables 1-10 (and 11 when withRoadTable); returns the index after the last one.
std::size_t expectDataTables(const Lines& d, int nX, int nY, int surfaceRows, int photometryRows,
                             bool withRoadTable) {
    const std::string first = " Maintained Luminance at infinity and omega=0 (cd/m^2)";
    std::size_t p = 0;
    while (p < d.size() && d[p] != first) ++p;
    if (p == d.size() || p == 0) {
        ADD_FAILURE() << "no first map table in the DataFile";
        return d.size();
    }
    --p;
    const std::vector<Lines> maps = {{"Maintained Luminance at infinity and omega=0 (cd/m^2)"},
                                     {"Maintained Observed Luminance  (cd/m^2)", "observer 1"},
                                     {"Maintained Observed Luminance  (cd/m^2)", "observer 2"},
                                     {"Maintained Illuminance (lm/m^2)"},
                                     {"Veiling luminance at initial state (cd/m^2)"},
                                     {"Maintained semicilindrical illuminance (lx)"},
                                     {"Glare Index GR"}};
    for (const auto& titles : maps) p = expectMapTable(d, p, titles, nX, nY);
    p = expectListingTable(d, p, {"Input road reduced coefficients"}, " Beta-angle    Tan Gamma    reduced coeff",
                           surfaceRows);
    p = expectListingTable(d, p, {"Eulumdat luminaire photometry (cd/klm)"}, kPhotometryHeading, photometryRows);
    p = expectListingTable(d, p, {"Effective luminaire photometry (cd/klm)", "accounting for luminaire tilt"},
                           kPhotometryHeading, photometryRows);
    if (withRoadTable) {
        p = expectListingTable(d, p, {"Road (estimated) photometry (cd/klm)"}, kPhotometryHeading, photometryRows);
    }
    return p;
}

// ----- 1. Section order -------------------------------------------------------------

const Lines kRoadAndPollutionTitles = {"Grid data:",
                                       "Road lighting parameters:",
                                       "Energy and cost parameters:",
                                       "Light Pollution, direction dependent parameters:",
                                       "Light Pollution, integrated parameters:",
                                       "Light Pollution, emispheric and low-angles scattering parameters"};

Lines expectedConsoleTitles(bool tilted) {
    Lines t = {"Input installation data:", "Input surface:", "Input luminaire:", "Original photometry"};
    if (tilted) t.push_back("Photometry after luminaire inclination");
    t.push_back("Luminaire emission data from Eulumdat file (std. position):");
    t.push_back("Luminaire emission data (calculated):");
    t.insert(t.end(), kRoadAndPollutionTitles.begin(), kRoadAndPollutionTitles.end());
    t.push_back("3D plot, model road surface:");  // after the pollution section's closing separator
    t.push_back("    ");                          // the closing line's separator
    return t;
}

Lines expectedReportTitles() {
    // Heading: separator, empty line ... separator, "Creator:" ... separator, empty line.
    Lines t = {"", "Creator:", "", "Input installation data:", "Input surface:", "Input luminaire:",
               "Luminaire emission data from Eulumdat file (std. position):",
               "Luminaire emission data (calculated):"};
    t.insert(t.end(), kRoadAndPollutionTitles.begin(), kRoadAndPollutionTitles.end());
    t.push_back(kEnd);  // the pollution section's closing separator is the report's last line
    return t;
}

Lines expectedDataTitles(bool tilted) {
    Lines t = {"", "", "Original photometry"};
    if (tilted) t.push_back("Photometry after luminaire inclination");
    return t;
}

void expectBundledRunSections(const std::string& clock, const std::string& settings, bool tilted) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const auto run = runAt(clock, "--batch " + settings + " --start");
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines console = splitLines(run.out);
    const Lines report = readLines(reportOf(clock));
    const Lines data = readLines(dataOf(clock));

    EXPECT_EQ(titlesAfterSeparators(console, kConsoleSeparator), expectedConsoleTitles(tilted));
    EXPECT_EQ(titlesAfterSeparators(report, kReportSeparator), expectedReportTitles());
    EXPECT_EQ(titlesAfterSeparators(data, kConsoleSeparator), expectedDataTitles(tilted));

    // The Console's closing line ends the computation.
    const std::string closing = " Output data written in file:   " + reportOf(clock) + std::string(8, ' ');
    std::size_t k = 0;
    while (k < console.size() && console[k] != closing) ++k;
    ASSERT_LT(k + 1, console.size()) << "no closing line on the Console";
    EXPECT_EQ(console[k - 1], "     ");
    EXPECT_EQ(console[k - 2], kConsoleSeparator);
    EXPECT_EQ(console[k + 1], " Computation completed");

    // The DataFile: the tables with their title lines, then the 3D plot part.
    const int photometryRows = 73 * 181;  // bundled photometry: C 0..360, gamma 0..180
    const std::size_t p = expectDataTables(data, 10, 6, surfaceRowCount("SRT_C2"), photometryRows, true);
    ASSERT_LT(p + 1, data.size());
    EXPECT_EQ(data[p], " " + std::string(52, '-'));
    EXPECT_EQ(data[p + 1], " 3D plot, model road surface:");
    EXPECT_EQ(data.back(), " Raw images for 3D plotting writted");

    EXPECT_EQ(fs::exists("ROTATEDANGLES_" + stampOf(clock) + ".doc"), tilted);
    EXPECT_EQ(fs::exists("ROTATEDPHOT_" + stampOf(clock) + ".doc"), tilted);
}

TEST(EndToEndSections, DefaultRunTitlesOnConsoleReportAndDataFile) {
    expectBundledRunSections("20240102103000", "", false);
}

TEST(EndToEndSections, TiltAddsTheInclinationListingOnConsoleAndDataFileOnly) {
    expectBundledRunSections("20240102104500", "--set tilt=10", true);
}

// ----- 2, 3. Tables and images ------------------------------------------------------

TEST(EndToEndTables, SmallGridMapsListingsAndPlotImages) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    const std::string clock = "20240305120000";
    const auto run = runAt(clock, "--batch --set photometry=synthetic.ldt --set grid=1 --start");
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines data = readLines(dataOf(clock));
    const std::size_t end = expectDataTables(data, 4, 3, surfaceRowCount("SRT_C2"), 25 * 37, true);
    ASSERT_LT(end, data.size());
    EXPECT_EQ(data[end], " " + std::string(52, '-'));

    // Map rows run from the far edge down: half-cell placement, y = 7/6 + 7 (j - 1) / 3.
    std::size_t p = 0;
    while (p < data.size() && data[p] != " Maintained Illuminance (lm/m^2)") ++p;
    ASSERT_LT(p + 6, data.size());
    EXPECT_EQ(data[p + 1].substr(0, 17), "  y/x        3.00");  // x_1 = 24 / 8
    EXPECT_EQ(data[p + 3].substr(0, 7), "   5.83");
    EXPECT_EQ(data[p + 4].substr(0, 7), "   3.50");
    EXPECT_EQ(data[p + 5].substr(0, 7), "   1.17");

    // The photometry listing includes the closing 360 deg plane, gamma innermost.
    while (p < data.size() && data[p] != " Eulumdat luminaire photometry (cd/klm)") ++p;
    ASSERT_LT(p + 4 + 25 * 37, data.size());
    EXPECT_EQ(data[p + 4], "      0.00           0.00         250.00");
    EXPECT_EQ(data[p + 4 + 37], "     15.00           0.00         250.00");
    EXPECT_EQ(data[p + 3 + 25 * 37], "    360.00         180.00          15.00");

    // Images: gamma 90..180 (19 rows) of the 25 C angles, 8 characters each.
    for (const auto& prefix : kImagePrefixes) {
        const std::string name = prefix + stampOf(clock) + ".dat";
        ASSERT_TRUE(fs::exists(name)) << name;
        const Lines image = readLines(name);
        ASSERT_EQ(image.size(), 19u) << name;
        for (const auto& line : image) {
            ASSERT_EQ(line.size(), 25u * 8u) << name << ": " << line;
            for (std::size_t c = 0; c < 25; ++c) {
                const std::string field = line.substr(8 * c, 8);
                EXPECT_EQ(field[5], '.') << name << ": " << line;
            }
        }
    }
    // The untilted luminaire image is the table itself: 15 cd/klm everywhere above.
    std::string flat;
    for (int c = 0; c < 25; ++c) flat += "   15.00";
    for (const auto& line : readLines("uplmp_" + stampOf(clock) + ".dat")) EXPECT_EQ(line, flat);
}

TEST(EndToEndTables, WideGridContinuesAxisAndRowsAfterHundredValues) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    const std::string clock = "20240305121000";
    const auto run = runAt(clock, "--batch --set photometry=synthetic.ldt --set grid=2 --start");
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines data = readLines(dataOf(clock));
    expectDataTables(data, 120, 2, surfaceRowCount("SRT_C2"), 25 * 37, true);

    std::size_t p = 0;
    while (p < data.size() && data[p] != " Maintained Illuminance (lm/m^2)") ++p;
    ASSERT_LT(p + 7, data.size());
    // Border placement: x_i = 24 (i - 1) / 120; the continuation starts the layout again.
    EXPECT_EQ(data[p + 1].substr(0, 17), "  y/x        0.00");
    EXPECT_EQ(data[p + 2].substr(0, 17), "  y/x       20.00");
    EXPECT_EQ(data[p + 4].substr(0, 7), "   3.50");  // y_2 = 7 / 2, first row
    EXPECT_EQ(data[p + 6].substr(0, 7), "   0.00");  // y_1
}

TEST(EndToEndTables, PhotometryEndingAtNinetyHasNoRoadTableAndNoImages) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    dir.copyTestData("ldt/road_luminaire.ldt", "road.ldt");
    const Lines ldt = readLines("road.ldt");
    const int nC = std::stoi(ldt.at(3)) + 1;
    const int nG = std::stoi(ldt.at(5));
    const std::string clock = "20240305122000";
    const auto run = runAt(clock, "--batch --set photometry=road.ldt --set grid=1 --start");
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines data = readLines(dataOf(clock));
    const std::size_t end = expectDataTables(data, 4, 3, surfaceRowCount("SRT_C2"), nC * nG, false);
    EXPECT_EQ(end, data.size()) << "the DataFile goes on after table 10: " << (end < data.size() ? data[end] : "");
    for (const auto& line : data) EXPECT_EQ(line.find("Road (estimated) photometry"), std::string::npos);
    EXPECT_EQ(run.out.find("3D plot"), std::string::npos);
    EXPECT_NE(run.out.find(" Computation completed\n"), std::string::npos);
    for (const auto& prefix : kImagePrefixes) EXPECT_FALSE(fs::exists(prefix + stampOf(clock) + ".dat")) << prefix;
}

// ----- 4, 5. Repeated runs ----------------------------------------------------------

struct RunOutput {
    Lines console;
    Lines report;
    Lines data;
    std::vector<Lines> images;
};

RunOutput collect(const std::string& clock, Lines console) {
    RunOutput out{std::move(console), readLines(reportOf(clock)), readLines(dataOf(clock)), {}};
    for (const auto& prefix : kImagePrefixes) out.images.push_back(readLines(prefix + stampOf(clock) + ".dat"));
    return out;
}

// One run inside this process with the given installation.
RunOutput runInProcess(const InstallationData& installation, const std::string& clock) {
    writeInstallationFile(installation);
    FixedClock fixed(clock);
    Lines console;
    {
        test::ConsoleCapture capture;
        std::string reportName(40, ' ');
        runComputation(reportName);
        EXPECT_EQ(reportName, reportOf(clock) + std::string(8, ' '));
        console = capture.lines();
    }
    return collect(clock, console);
}

// The same installation in a fresh process, in its own directory.
RunOutput runInFreshProcess(const InstallationData& installation, const std::string& clock) {
    test::ScratchDir fresh;
    prepareSmallCase(fresh);
    writeInstallationFile(installation);
    const auto run = runAt(clock, "--run");
    EXPECT_EQ(run.status, 0) << run.err;
    return collect(clock, splitLines(run.out));
}

void maskLinesStartingWith(Lines& lines, const std::vector<std::string>& prefixes) {
    for (auto& line : lines) {
        for (const auto& prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) line = prefix + "<masked>";
        }
    }
}

void expectSameRun(const RunOutput& a, const RunOutput& b) {
    ASSERT_GT(a.report.size(), 100u);
    ASSERT_FALSE(a.console.empty());
    EXPECT_EQ(a.console.back(), " Computation completed");
    for (const auto& image : a.images) EXPECT_FALSE(image.empty());
    EXPECT_EQ(a.console, b.console);
    EXPECT_EQ(a.report, b.report);
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(a.images, b.images);
}

TEST(EndToEndRepeat, SecondRunInTheSameMinuteReplacesTheFirstRunsFiles) {
    const std::string clock = "20240410093000";
    RunOutput alone;
    {
        test::ScratchDir other;
        other.copyAllBundled();
        const auto run = runAt(clock, "--batch --set flux=13 --set width=8 --start");
        ASSERT_EQ(run.status, 0) << run.err;
        alone = collect(clock, {});
    }
    test::ScratchDir dir;
    dir.copyAllBundled();
    const auto first = runAt(clock, "--batch --set flux=6.5 --start");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_TRUE(fs::exists(reportOf(clock)));
    const auto second = runAt(clock, "--batch --set flux=13 --set width=8 --start");
    ASSERT_EQ(second.status, 0) << second.err;
    const RunOutput replaced = collect(clock, {});
    const std::string fluxLine = " lamp flux (klm)                                    13.000";
    EXPECT_NE(std::find(replaced.report.begin(), replaced.report.end(), fluxLine), replaced.report.end());
    const std::string firstFluxLine = " lamp flux (klm)                                     6.500";
    EXPECT_EQ(std::find(replaced.report.begin(), replaced.report.end(), firstFluxLine), replaced.report.end());
    EXPECT_EQ(replaced.report, alone.report);
    EXPECT_EQ(replaced.data, alone.data);
    EXPECT_EQ(replaced.images, alone.images);
}

TEST(EndToEndRepeat, SecondRunInTheSameProcessRepeatsTheFirst) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    RunOutput first = runInProcess(test::defaultInstallation(), "20240501100000");
    RunOutput second = runInProcess(test::defaultInstallation(), "20240501100100");
    ASSERT_GT(first.report.size(), 100u);
    EXPECT_NE(first.report, second.report);  // the heading names the run
    for (RunOutput* run : {&first, &second}) {
        maskLinesStartingWith(run->report, {" Date  ", " Time  ", " Filename  "});
        maskLinesStartingWith(run->console, {" Output data written in file:"});
        ASSERT_GT(run->data.size(), 9u);
        run->data[9] = "<date and time>";
    }
    expectSameRun(first, second);
}

TEST(EndToEndRepeat, RunAfterATiltedRunMatchesAFreshProcess) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    InstallationData tilted = test::defaultInstallation();
    tilted.tilt = 10;
    runInProcess(tilted, "20240502110000");
    const RunOutput second = runInProcess(test::defaultInstallation(), "20240502110100");
    EXPECT_FALSE(fs::exists("ROTATEDANGLES_202405021101.doc"));
    EXPECT_FALSE(fs::exists("ROTATEDPHOT_202405021101.doc"));
    expectSameRun(second, runInFreshProcess(test::defaultInstallation(), "20240502110100"));
}

TEST(EndToEndRepeat, RunAfterADifferentPhotometryAndGridMatchesAFreshProcess) {
    test::ScratchDir dir;
    prepareSmallCase(dir);
    InstallationData small = test::defaultInstallation();
    small.photometryFile = "synthetic.ldt";
    small.gridChoice = 2;
    small.tilt = 10;
    small.lampFlux = 13;
    small.roadWidth = 9;
    small.spacing = 30;
    runInProcess(small, "20240503120000");
    InstallationData next = test::defaultInstallation();
    next.gridChoice = 1;  // the 4 x 3 record of the small grid file
    const RunOutput second = runInProcess(next, "20240503120100");
    expectSameRun(second, runInFreshProcess(next, "20240503120100"));
}

// ----- 6. Zero spacing ----------------------------------------------------------------

void expectRotationOnlyRun(const std::string& tilt, bool rotatedFiles) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const std::string clock = "20240601080000";
    const auto run = runAt(clock, "--batch --set spacing=0 --set tilt=" + tilt + " --start");
    EXPECT_EQ(run.status, 0) << run.err;
    const Lines console = splitLines(run.out);
    const Lines report = readLines(reportOf(clock));
    const Lines data = readLines(dataOf(clock));

    Lines notice = {"   ", " luminaire spacing was set to zero then", " only the rotation of the photometry is computed"};
    if (rotatedFiles) notice.push_back(" (files ROTATEDANGLES_, ROTATEDPHOT_)");
    notice.push_back(" ");
    const Lines maximumBlockStart = {"  ", " Maximum upward luminaire intensity"};

    // DataFile: ends with the notice, no table.
    ASSERT_GE(data.size(), notice.size());
    EXPECT_EQ(Lines(data.end() - static_cast<long>(notice.size()), data.end()), notice);
    for (const auto& line : data) EXPECT_EQ(line.find("Maintained Luminance at infinity"), std::string::npos);

    // Console and ReportFile: the notice, then the maximum block (two formatted lines) as the end.
    for (const Lines* stream : {&console, &report}) {
        const std::size_t blockSize = notice.size() + maximumBlockStart.size() + 2;
        ASSERT_GE(stream->size(), blockSize);
        const auto tail = Lines(stream->end() - static_cast<long>(blockSize), stream->end());
        EXPECT_EQ(Lines(tail.begin(), tail.begin() + static_cast<long>(notice.size())), notice);
        EXPECT_EQ(tail[notice.size()], maximumBlockStart[0]);
        EXPECT_EQ(tail[notice.size() + 1], maximumBlockStart[1]);
        EXPECT_EQ(tail[notice.size() + 2].rfind(" per unit lamp flux     ", 0), 0u) << tail[notice.size() + 2];
        EXPECT_EQ(tail[notice.size() + 3].rfind(" per unit luminaire flux", 0), 0u) << tail[notice.size() + 3];
    }
    const Lines consoleTitles = titlesAfterSeparators(console, kConsoleSeparator);
    ASSERT_FALSE(consoleTitles.empty());
    EXPECT_EQ(consoleTitles.back(), "Luminaire emission data (calculated):");
    EXPECT_EQ(run.out.find("Grid data:"), std::string::npos);
    EXPECT_EQ(run.out.find("Output data written in file:"), std::string::npos);
    EXPECT_EQ(run.out.find("Computation completed"), std::string::npos);
    EXPECT_EQ(fs::exists("ROTATEDANGLES_" + stampOf(clock) + ".doc"), rotatedFiles);
    EXPECT_EQ(fs::exists("ROTATEDPHOT_" + stampOf(clock) + ".doc"), rotatedFiles);
    for (const auto& prefix : kImagePrefixes) EXPECT_FALSE(fs::exists(prefix + stampOf(clock) + ".dat")) << prefix;
}

TEST(EndToEndZeroSpacing, TiltedRunComputesOnlyTheRotation) { expectRotationOnlyRun("5", true); }

TEST(EndToEndZeroSpacing, UntiltedRunStopsAfterTheMaximumIntensityWithoutRotatedFiles) {
    expectRotationOnlyRun("0", false);
}

}  // namespace
}  // namespace vl
