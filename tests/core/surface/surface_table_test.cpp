// Reading, echoing, refusing and looking up the road surface tables.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/numeric/spline.hpp"
#include "writers/streams.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"
#include "core/surface/surface_table.hpp"

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

// Reads a surface table with the Console captured and a report file open.
struct SurfaceRun {
    test::ScratchDir dir;
    test::ConsoleCapture console;
    std::vector<std::string> report;
    int status = -1;
    std::string stopMessage;

    void read(const std::string& surfaceClass) {
        reportFile().create("report.doc");
        try {
            asRunStep([&] { readSurfaceTable(surfaceClass); });
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
    EXPECT_EQ(state().surface.surfaceTitleLines[3], "ctab");
}

TEST(SurfaceTable, DescriptionsAreCutTo78Characters) {
    SurfaceRun run;
    SurfaceFile f;
    f.head[1] = "\"" + std::string(78, 'a') + "bcd\"";
    f.head[4] = std::string(90, 'z');
    run.dir.write("SRT_C7", f.text());
    run.read("C7");
    ASSERT_EQ(run.status, -1);
    EXPECT_EQ(run.console.lines()[4], " " + std::string(78, 'a'));
    EXPECT_EQ(run.console.lines()[7], " Data file" + std::string(78, 'z'));
}

TEST(SurfaceTable, ValuesAreStoredBetaByBetaAndPrepared) {
    SurfaceRun run;
    SurfaceFile f;
    run.dir.write("SRT_C7", f.text());
    run.read("C7");
    ASSERT_EQ(run.status, -1);
    const ReducedLuminanceTable& s = state().surface;
    EXPECT_EQ(s.betaCount, 3);
    EXPECT_EQ(s.tanGammaCount, 4);
    EXPECT_EQ(s.betaAngles[2], 90.0);
    EXPECT_EQ(s.tanGamma[3], 2.0);
    for (int b = 0; b < 3; ++b) {
        for (int t = 0; t < 4; ++t) EXPECT_EQ(s.r(b, t), f.r(b, t)) << b << " " << t;
    }
    // Lookups at the knots give the stored values; the second axis holds at its end.
    EXPECT_NEAR(reducedLuminanceCoefficient(30.0, 0.5), 201.0, 1e-9);
    EXPECT_NEAR(reducedLuminanceCoefficient(0.0, 2.0), 103.0, 1e-9);
    EXPECT_EQ(reducedLuminanceCoefficient(30.0, 5.0), reducedLuminanceCoefficient(30.0, 2.0));
    EXPECT_EQ(reducedLuminanceCoefficient(-10.0, 1.0), reducedLuminanceCoefficient(0.0, 1.0));
}

TEST(SurfaceTable, LookupIsTheTableSplineWithTheReflectionSlopes) {
    SurfaceRun run;
    run.dir.copyBundled("SRT_C2");
    run.read("C2");
    ASSERT_EQ(run.status, -1);
    ReducedLuminanceTable& s = state().surface;
    ASSERT_EQ(s.betaCount, 20);
    ASSERT_EQ(s.tanGammaCount, 29);
    // Row ends: zero start slope and the fixed-90 end slope of every tan gamma row.
    std::vector<double> expected(static_cast<std::size_t>(kMaxBeta * kMaxTanGamma), 0.0);
    SplineTable2D t{s.betaAngles.data(), s.tanGamma.data(), s.rValues.data(), expected.data(), 20, 29, kMaxBeta};
    prepareSplineTable2D(t, 0.0);
    for (std::size_t j = 0; j < expected.size(); ++j) EXPECT_EQ(s.rSpline[j], expected[j]) << j;
    t.y2 = s.rSpline.data();
    for (double beta : {0.0, 7.0, 44.5, 90.0, 135.0, 180.0}) {
        for (double tg : {0.0, 0.33, 1.0, 4.9, 12.0}) {
            EXPECT_EQ(reducedLuminanceCoefficient(beta, tg), evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, beta, tg));
        }
    }
    EXPECT_EQ(reducedLuminanceCoefficient(0.0, 0.0), s.r(0, 0));
}

TEST(SurfaceTable, AFullCieTableFillsTheArraysExactly) {
    SurfaceRun run;
    SurfaceFile f;
    f.betaCount = "20";
    f.tanGammaCount = "29";
    f.beta.clear();
    f.tanGamma.clear();
    for (int b = 0; b < 20; ++b) f.beta.push_back(b * 9.5);
    for (int t = 0; t < 29; ++t) f.tanGamma.push_back(t * 0.25);
    f.r = [](int b, int t) { return b * 1000.0 + t; };
    run.dir.write("SRT_C1", f.text());
    run.read("C1");
    ASSERT_EQ(run.status, -1);
    const ReducedLuminanceTable& s = state().surface;
    for (int b = 0; b < 20; ++b) {
        for (int t = 0; t < 29; ++t) ASSERT_EQ(s.rValues[static_cast<std::size_t>(b + 20 * t)], b * 1000.0 + t);
    }
    EXPECT_EQ(s.betaAngles[19], 180.5);
    EXPECT_EQ(s.tanGamma[28], 7.0);
}

TEST(SurfaceTable, ClassNamesTheFileWithoutCaseFolding) {
    {
        SurfaceRun run;
        SurfaceFile f;
        f.head[4] = "c3-table";
        run.dir.write("SRT_C3", f.text());
        run.read("C3");
        EXPECT_EQ(run.status, -1);
        EXPECT_EQ(run.console.lines()[7], " Data filec3-table");
    }
    {
        SurfaceRun run;
        run.dir.write("SRT_C3", SurfaceFile().text());
        run.read("c3");  // SRT_c3 does not exist: created empty, its first read fails
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.stopMessage.find("SRT_c3"), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists(run.dir.path() / "SRT_c3"));
    }
    {
        SurfaceRun run;
        run.dir.write("SRT_R", SurfaceFile().text());
        run.read("R ");  // a one-character class names SRT_R
        EXPECT_EQ(run.status, -1);
    }
}

TEST(SurfaceTable, CountsOutsideTheTableAreRefusedOnceBothAreRead) {
    struct Case {
        const char* beta;
        const char* tanGamma;
        const char* bound;
    };
    for (const Case& c : {Case{"1", "4", "2..20"}, Case{"21", "4", "2..20"}, Case{"3", "30", "2..29"},
                          Case{"3", "1", "2..29"}, Case{"0", "4", "2..20"}}) {
        SurfaceRun run;
        SurfaceFile f;
        f.betaCount = c.beta;
        f.tanGammaCount = c.tanGamma;
        run.dir.write("SRT_C2", f.text());
        run.read("C2");
        EXPECT_EQ(run.status, 1) << c.beta << " " << c.tanGamma;
        ASSERT_FALSE(run.console.lines().empty());
        const std::string& last = run.console.lines().back();
        EXPECT_EQ(last.rfind(" SRT_C2: ", 0), 0U) << last;
        EXPECT_NE(last.find(c.bound), std::string::npos) << last;
    }
    // The counts are checked only once both are read: a file ending after a bad beta
    // count is a read error.
    SurfaceRun run;
    run.dir.write("SRT_C2", "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n1\n2\n3\n25\n");
    run.read("C2");
    EXPECT_EQ(run.status, 2);
}

TEST(SurfaceTable, AxesThatAreNotStrictlyAscendingAreRefused) {
    {
        SurfaceRun run;
        SurfaceFile f;
        f.beta = {0.0, 30.0, 30.0};
        run.dir.write("SRT_C2", f.text());
        run.read("C2");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.console.lines().back().find("beta values are not strictly ascending"), std::string::npos);
    }
    {
        SurfaceRun run;
        SurfaceFile f;
        f.tanGamma = {0.0, 1.0, 0.5, 2.0};
        run.dir.write("SRT_C2", f.text());
        run.read("C2");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.console.lines().back().find("tan gamma values are not strictly ascending"),
                  std::string::npos);
    }
}

TEST(SurfaceTable, UnreadableNumbersAreReadErrors) {
    SurfaceRun run;
    SurfaceFile f;
    f.betaCount = "3.0";
    run.dir.write("SRT_C2", f.text());
    run.read("C2");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stopMessage.find("SRT_C2"), std::string::npos);
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
    dir.write("asphalt1_reflectance.dat", asphaltText(x, y));
    readAgedAsphaltTable();
    const AgedAsphaltCurve& c = state().agedAsphalt;
    EXPECT_EQ(c.agedAsphaltFactor, 42.5);
    EXPECT_EQ(c.x[18], 90.0);
    EXPECT_EQ(c.y2[0], 0.0);
    EXPECT_EQ(c.y2[18], 0.0);
    for (double g = 0.0; g <= 90.0; g += 2.5) EXPECT_NEAR(agedAsphaltReflectance(g), 0.1 + 0.002 * g, 1e-14);
}

TEST(AgedAsphalt, BundledCurveIsItsNaturalSpline) {
    test::ScratchDir dir;
    dir.copyBundled("asphalt1_reflectance.dat");
    readAgedAsphaltTable();
    const AgedAsphaltCurve& c = state().agedAsphalt;
    EXPECT_EQ(c.agedAsphaltFactor, 100.0);
    std::array<double, kAgedAsphaltPoints> y2{};
    prepareSpline(c.x.data(), c.y.data(), kAgedAsphaltPoints, 1.0e30, 1.0e30, y2.data());
    EXPECT_EQ(c.y2, y2);
    for (int i = 0; i < kAgedAsphaltPoints; ++i) EXPECT_NEAR(agedAsphaltReflectance(c.x[i]), c.y[i], 1e-15);
}

TEST(AgedAsphalt, RefusesADescendingAxisAndAShortFile) {
    test::ConsoleCapture console;
    std::vector<double> x, y(19, 0.1);
    for (int i = 0; i < 19; ++i) x.push_back(5.0 * i);
    x[10] = x[9];
    {
        test::ScratchDir dir;
        dir.write("asphalt1_reflectance.dat", asphaltText(x, y));
        try {
            asRunStep(readAgedAsphaltTable);
            ADD_FAILURE() << "no refusal";
        } catch (const ProcessStop& stop) {
            EXPECT_EQ(stop.status, 1);
            EXPECT_NE(console.lines().back().find("asphalt1_reflectance.dat"), std::string::npos);
        }
    }
    {
        test::ScratchDir dir;
        x[10] = 50.0;
        y.resize(18);
        dir.write("asphalt1_reflectance.dat", asphaltText(x, y));
        try {
            asRunStep(readAgedAsphaltTable);
            ADD_FAILURE() << "no read error";
        } catch (const ProcessStop& stop) {
            EXPECT_EQ(stop.status, 2);
        }
    }
}

}  // namespace
}  // namespace vl
