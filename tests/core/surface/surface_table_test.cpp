// Reading, echoing, refusing and looking up the road surface tables.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/computation_state.hpp"
#include "app/driver.hpp"
#include "app/process_stop.hpp"
#include "core/numeric/spline.hpp"
#include "core/surface/surface_table.hpp"
#include "readers/read_error.hpp"
#include "readers/surface_files.hpp"
#include "support/test_support.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

struct SurfaceFile {
    std::vector<std::string> head{"SRT_XX", "\"A described surface, quoted whole\"", "plain sentence here",
                                  "'single, quoted / text'", "ctab"};
    std::string betaCount = "3";
    std::string tanGammaCount = "4";
    std::vector<double> beta{0.0, 30.0, 90.0};
    std::vector<double> tanGamma{0.0, 0.5, 1.0, 2.0};
    std::function<double(int, int)> r = [](int b, int t) { return 100.0 * (b + 1) + t; };

    std::string text() const {
        std::ostringstream out;
        for (const auto& line : head) out << line << "\n";
        for (int k = 6; k <= 10; ++k) out << "\"ignored line " << k << "\"\n";
        out << "0.07\n\n0.97 trailing words\n2.13\n";  // an empty line is skipped
        out << betaCount << "\n" << tanGammaCount << "\n1.0\n";
        for (double b : beta) out << b << "\n";
        for (double t : tanGamma) out << t << "\r\n";
        for (std::size_t b = 0; b < beta.size(); ++b) {
            for (std::size_t t = 0; t < tanGamma.size(); ++t) out << r(static_cast<int>(b), static_cast<int>(t)) << "\n";
        }
        return out.str();
    }
};

// What the reader makes of a table file: the record as far as read and the failure.
struct TableRead {
    SurfaceTableFile file;
    std::string refusal;
    std::string readError;
};

TableRead readTable(const std::string& content, const std::string& name = "SRT_C2") {
    test::ScratchDir dir;
    dir.write(name, content);
    TableRead r;
    try {
        readSurfaceTable(name, r.file);
    } catch (const ReadError& error) {
        r.readError = error.what();
    } catch (const Refusal& refusal) {
        r.refusal = refusal.what();
    }
    return r;
}

// The run's input step: the echo on the Console and in the report, then the stop if any.
struct SurfaceRun {
    test::ScratchDir dir;
    test::ConsoleCapture console;
    std::vector<std::string> report;
    int status = -1;
    std::string stopMessage;

    void read(const std::string& surfaceClass) {
        state().inputs.installation.surfaceClass = surfaceClass;
        reportFile().create("report.doc");
        try {
            asRunStep(readSurface);
        } catch (const ProcessStop& stop) {
            status = stop.status;
            stopMessage = stop.consoleMessage.empty() ? stop.errorMessage : stop.consoleMessage;
        }
        reportFile().close();
        report = test::readLines(dir.path() / "report.doc");
    }
};

TEST(SurfaceTable, EchoesTheDescriptionOnConsoleThenReport) {
    SurfaceRun run;
    run.dir.write("SRT_C7", SurfaceFile().text());
    run.read("C7");
    ASSERT_EQ(run.status, -1) << run.stopMessage;
    const std::vector<std::string> console{"     ",
                                           " " + std::string(54, '-'),
                                           " Input surface:",
                                           "     ",
                                           " A described surface, quoted whole",
                                           " plain",
                                           " single, quoted / text",
                                           " Data filectab",
                                           "  "};
    EXPECT_EQ(run.console.lines(), console);
    std::vector<std::string> report = console;
    report[1] = " " + std::string(64, '-');
    EXPECT_EQ(run.report, report);
    EXPECT_EQ(state().inputs.surface.betaCount, 3);
}

TEST(SurfaceTable, DescriptionsAreCutTo78Characters) {
    SurfaceFile f;
    f.head[1] = "\"" + std::string(78, 'a') + "bcd\"";
    f.head[4] = std::string(90, 'z');
    const TableRead r = readTable(f.text());
    ASSERT_EQ(r.file.titleLinesRead, 4);
    EXPECT_EQ(r.file.titleLines[0], std::string(78, 'a'));
    EXPECT_EQ(r.file.titleLines[3], std::string(78, 'z'));
}

TEST(SurfaceTable, ValuesAreStoredBetaByBetaAndLookedUp) {
    SurfaceFile f;
    const TableRead r = readTable(f.text());
    ASSERT_TRUE(r.readError.empty() && r.refusal.empty()) << r.readError << r.refusal;
    const ReducedLuminanceTable& s = r.file.table;
    EXPECT_EQ(s.betaCount, 3);
    EXPECT_EQ(s.tanGammaCount, 4);
    EXPECT_EQ(s.betaAngles[2], 90.0);
    EXPECT_EQ(s.tanGamma[3], 2.0);
    for (int b = 0; b < 3; ++b) {
        for (int t = 0; t < 4; ++t) EXPECT_EQ(s.r(b, t), f.r(b, t)) << b << " " << t;
    }
    // Lookups at the knots give the stored values; the second axis holds at its end.
    const SurfaceReflection reflection(s);
    EXPECT_NEAR(reflection.coefficient(30.0, 0.5), 201.0, 1e-9);
    EXPECT_NEAR(reflection.coefficient(0.0, 2.0), 103.0, 1e-9);
    EXPECT_EQ(reflection.coefficient(30.0, 5.0), reflection.coefficient(30.0, 2.0));
    EXPECT_EQ(reflection.coefficient(-10.0, 1.0), reflection.coefficient(0.0, 1.0));
}

TEST(SurfaceTable, LookupIsTheTableSplineWithTheReflectionSlopes) {
    test::ScratchDir dir;
    dir.copyBundled("SRT_C2");
    SurfaceTableFile file;
    readSurfaceTable("SRT_C2", file);
    const ReducedLuminanceTable& s = file.table;
    ASSERT_EQ(s.betaCount, 20);
    ASSERT_EQ(s.tanGammaCount, 29);
    // Rows with a zero start slope; columns with zero slopes at both ends.
    std::vector<double> y2(static_cast<std::size_t>(kMaxBeta * kMaxTanGamma), 0.0);
    const SplineTable2D t{s.betaAngles.data(), s.tanGamma.data(), s.rValues.data(), y2.data(), 20, 29, kMaxBeta};
    prepareSplineTable2D(t, 0.0);
    const SurfaceReflection reflection(s);
    for (double beta : {0.0, 7.0, 44.5, 90.0, 135.0, 180.0}) {
        for (double tg : {0.0, 0.33, 1.0, 4.9, 12.0}) {
            EXPECT_EQ(reflection.coefficient(beta, tg), evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, beta, tg));
        }
    }
    EXPECT_EQ(reflection.coefficient(0.0, 0.0), s.r(0, 0));
}

TEST(SurfaceTable, AFullTableFillsTheArraysExactly) {
    SurfaceFile f;
    f.betaCount = "20";
    f.tanGammaCount = "29";
    f.beta.clear();
    f.tanGamma.clear();
    for (int b = 0; b < 20; ++b) f.beta.push_back(b * 9.5);
    for (int t = 0; t < 29; ++t) f.tanGamma.push_back(t * 0.25);
    f.r = [](int b, int t) { return b * 1000.0 + t; };
    const TableRead r = readTable(f.text());
    ASSERT_TRUE(r.readError.empty() && r.refusal.empty());
    const ReducedLuminanceTable& s = r.file.table;
    for (int b = 0; b < 20; ++b) {
        for (int t = 0; t < 29; ++t) ASSERT_EQ(s.rValues[static_cast<std::size_t>(b + 20 * t)], b * 1000.0 + t);
    }
    EXPECT_EQ(s.betaAngles[19], 180.5);
    EXPECT_EQ(s.tanGamma[28], 7.0);
}

TEST(SurfaceTable, ClassNamesTheFileWithoutCaseFolding) {
    EXPECT_EQ(surfaceFileName("C3"), "SRT_C3");
    EXPECT_EQ(surfaceFileName("c3"), "SRT_c3");
    EXPECT_EQ(surfaceFileName("R "), "SRT_R");  // a one-character class
    SurfaceRun run;
    run.dir.write("SRT_C3", SurfaceFile().text());
    run.read("c3");  // SRT_c3 does not exist: created empty, its first read fails
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stopMessage.find("SRT_c3"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(run.dir.path() / "SRT_c3"));
    // Only the heading was written.
    EXPECT_EQ(run.console.lines().size(), 4u);
}

TEST(SurfaceTable, CountsOutsideTheTableAreRefusedOnceBothAreRead) {
    struct Case {
        const char* beta;
        const char* tanGamma;
        const char* bound;
    };
    for (const Case& c : {Case{"1", "4", "2..20"}, Case{"21", "4", "2..20"}, Case{"3", "30", "2..29"},
                          Case{"3", "1", "2..29"}, Case{"0", "4", "2..20"}}) {
        SurfaceFile f;
        f.betaCount = c.beta;
        f.tanGammaCount = c.tanGamma;
        const TableRead r = readTable(f.text());
        EXPECT_EQ(r.refusal.rfind("SRT_C2: ", 0), 0U) << c.beta << " " << c.tanGamma << ": " << r.refusal;
        EXPECT_NE(r.refusal.find(c.bound), std::string::npos) << r.refusal;
        EXPECT_EQ(r.file.titleLinesRead, 4);  // the description is echoed before the refusal
    }
    // The counts are checked only once both are read: a file ending after a bad beta
    // count is a read error.
    const TableRead r = readTable("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n1\n2\n3\n25\n");
    EXPECT_TRUE(r.refusal.empty());
    EXPECT_NE(r.readError.find("found the end of the file"), std::string::npos) << r.readError;
}

TEST(SurfaceTable, AxesThatAreNotStrictlyAscendingAreRefused) {
    SurfaceFile f;
    f.beta = {0.0, 30.0, 30.0};
    EXPECT_NE(readTable(f.text()).refusal.find("beta values are not strictly ascending"), std::string::npos);
    f = SurfaceFile();
    f.tanGamma = {0.0, 1.0, 0.5, 2.0};
    EXPECT_NE(readTable(f.text()).refusal.find("tan gamma values are not strictly ascending"), std::string::npos);
}

TEST(SurfaceTable, UnreadableNumbersAreReadErrors) {
    SurfaceFile f;
    f.betaCount = "3.0";
    const TableRead r = readTable(f.text());
    EXPECT_NE(r.readError.find("\"SRT_C2\""), std::string::npos) << r.readError;
    EXPECT_NE(r.readError.find("expected an integer, found"), std::string::npos) << r.readError;
}

// --- aged asphalt ---------------------------------------------------------------

std::string asphaltText(const std::vector<double>& x, const std::vector<double>& y) {
    std::ostringstream out;
    out << "\"aged asphalt\"\n42.5\n\"description\"\n";
    for (double v : x) out << v << "\n";
    for (double v : y) out << v << "\n";
    return out.str();
}

TEST(AgedAsphalt, ReadsTheFactorAndANaturalCurve) {
    test::ScratchDir dir;
    std::vector<double> x, y;
    for (int i = 0; i < 19; ++i) {
        x.push_back(5.0 * i);
        y.push_back(0.1 + 0.002 * (5.0 * i));  // a straight line
    }
    dir.write(kAgedAsphaltFileName, asphaltText(x, y));
    const AgedAsphaltCurve c = readAgedAsphaltCurve();
    EXPECT_EQ(c.agedAsphaltFactor, 42.5);
    EXPECT_EQ(c.x[18], 90.0);
    // Natural ends reproduce a straight line everywhere.
    const AgedAsphaltReflectance reflectance(c);
    for (double g = 0.0; g <= 90.0; g += 2.5) EXPECT_NEAR(reflectance.at(g), 0.1 + 0.002 * g, 1e-14);
}

TEST(AgedAsphalt, BundledCurveIsItsNaturalSpline) {
    test::ScratchDir dir;
    dir.copyBundled(kAgedAsphaltFileName);
    const AgedAsphaltCurve c = readAgedAsphaltCurve();
    EXPECT_EQ(c.agedAsphaltFactor, 100.0);
    std::array<double, kAgedAsphaltPoints> y2{};
    prepareSpline(c.x.data(), c.y.data(), kAgedAsphaltPoints, kNaturalEnd, kNaturalEnd, y2.data());
    const AgedAsphaltReflectance reflectance(c);
    for (int i = 0; i < kAgedAsphaltPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_NEAR(reflectance.at(c.x[k]), c.y[k], 1e-15);
        const double between = i + 1 < kAgedAsphaltPoints ? (c.x[k] + c.x[k + 1]) / 2.0 : c.x[k] + 1.0;
        EXPECT_EQ(reflectance.at(between), evaluateSpline(c.x.data(), c.y.data(), y2.data(), kAgedAsphaltPoints, between));
    }
}

TEST(AgedAsphalt, RefusesADescendingAxisAndAShortFile) {
    test::ScratchDir dir;
    std::vector<double> x, y(19, 0.1);
    for (int i = 0; i < 19; ++i) x.push_back(5.0 * i);
    x[10] = x[9];
    dir.write(kAgedAsphaltFileName, asphaltText(x, y));
    try {
        readAgedAsphaltCurve();
        ADD_FAILURE() << "no refusal";
    } catch (const Refusal& refusal) {
        EXPECT_NE(std::string(refusal.what()).find(kAgedAsphaltFileName), std::string::npos) << refusal.what();
    }
    x[10] = 50.0;
    y.resize(18);
    dir.write(kAgedAsphaltFileName, asphaltText(x, y));
    EXPECT_THROW(readAgedAsphaltCurve(), ReadError);
}

}  // namespace
}  // namespace vl
