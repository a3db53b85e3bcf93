// The Eulumdat reader on small files built here: echo, symmetry expansion, positional
// head, refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "readers/eulumdat.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

using test::ConsoleCapture;
using test::ScratchDir;

// Intensity of stored plane p (0-based, in file order) at gamma index j.
double stored(int p, int j) { return 100.0 * (p + 1) + j; }

int storedPlanes(int isym, int mc) {
    switch (isym) {
        case 1: return 1;
        case 2:
        case 3: return mc / 2 + 1;
        case 4: return mc / 4 + 1;
        default: return mc;
    }
}

// An Eulumdat file as lines: head (1..26), lamp sets, direct ratios, angles, intensities.
struct LdtFile {
    std::vector<std::string> lines;
    int lampSetStart = 26;  // 0-based index of the first lamp-set line

    static LdtFile make(int isym, int mc, double dc, int ng, double dg, int lampSets = 1) {
        LdtFile f;
        auto num = [](double v) { return fmt::freeReal(v); };
        f.lines = {"Test maker photometry", "1", std::to_string(isym), std::to_string(mc), num(dc),
                   std::to_string(ng), num(dg), "report 42", "Road luminaire XL", "LX-100", "lum.ldt",
                   "2024-01-01 tester", "500", "200", "100", "400", "150", "0", "0", "0", "0", "98.5", "80.25",
                   "1.0", "0", std::to_string(lampSets)};
        for (int s = 0; s < lampSets; ++s) {
            f.lines.insert(f.lines.end(), {"1", "LED module " + std::to_string(s + 1), std::to_string(12000 + s) + ".9",
                                           "4000", "80", std::to_string(95 + s) + ".6"});
        }
        for (int k = 0; k < 10; ++k) f.lines.push_back("0.5");
        for (int i = 0; i < mc; ++i) f.lines.push_back(num(dc * i));
        for (int j = 0; j < ng; ++j) f.lines.push_back(num(dg * j));
        for (int p = 0; p < storedPlanes(isym, mc); ++p) {
            for (int j = 0; j < ng; ++j) f.lines.push_back(num(stored(p, j)));
        }
        return f;
    }
    // Line n of the file, counted from 1.
    std::string& line(int n) { return lines[static_cast<std::size_t>(n - 1)]; }
    std::string text(const std::string& eol = "\n") const {
        std::string out;
        for (const auto& l : lines) out += l + eol;
        return out;
    }
};

struct ReaderRun {
    std::vector<std::string> console;
    std::vector<std::string> report;
    std::vector<std::string> data;
    std::optional<ProcessStop> stop;
};

class EulumdatReader : public ::testing::Test {
protected:
    void SetUp() override {
        state().photometry = PhotometryTable{};
        state().emission = EmissionData{};
        state().installation.photometryFile = "lum.ldt";
    }

    ReaderRun run(const std::string& content, const std::string& name = "lum.ldt") {
        dir_.write(name, content);
        state().installation.photometryFile = name;
        ReaderRun r;
        reportFile().create("r.doc");
        dataFile().create("d.doc");
        {
            ConsoleCapture capture;
            try {
                readPhotometry();
            } catch (const ProcessStop& stop) {
                r.stop = stop;
            }
            r.console = capture.lines();
        }
        reportFile().close();
        dataFile().close();
        r.report = test::readLines("r.doc");
        r.data = test::readLines("d.doc");
        return r;
    }

    static const PhotometryTable& table() { return state().photometry; }
    // Intensity at the column whose C angle is c.
    static double at(double c, int j) {
        const auto& p = table();
        const auto it = std::find(p.cAngles.begin(), p.cAngles.end(), c);
        EXPECT_NE(it, p.cAngles.end()) << "no C plane at " << c;
        return p.I(static_cast<int>(it - p.cAngles.begin()), j);
    }

    ScratchDir dir_;
};

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

std::string pad(const std::string& s, std::size_t w) { return s + std::string(w - s.size(), ' '); }

TEST_F(EulumdatReader, EchoAndListingLineByLineOnEachStream) {
    LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    const std::string dash54(54, '-');
    const std::vector<std::string> console = {
        "     ", " " + dash54, " Input luminaire:", "     ",
        " Luminaire input data file lum.ldt             ", "   ",
        " " + pad("Test maker photometry", 60), " " + pad("Road luminaire XL", 60),
        " ityp 1", " isym 0", " C samples      4", " C delta       90.00", " Gamma samples  4",
        " Gamma delta   30.00", "  ", " Conversion factor for luminous intensities CFLI 1.0000",
        " Tilt angle during measurements (deg)   0.00", "   ", " Number of lamp sets 1",
        " type of lamp LED module 1        ", " total flux (lm) 12000", " wattage (including ballast)   95",
        " Maximum measured gamma   90", "     ", " " + dash54, " Original photometry", " ",
        " C-angle   fixture intensity (cd/klm)", " at gamma=                  30.0           60.0", " ",
        "              0.0          101.0          102.0", "             90.0          201.0          202.0",
        "            180.0          301.0          302.0", "            270.0          401.0          402.0",
        "            360.0          101.0          102.0"};
    EXPECT_EQ(r.console, console);

    const std::vector<std::string> report = {
        "     ", " " + std::string(64, '-'), " Input luminaire:", "     ",
        " Luminaire input data file lum.ldt             ", "   ",
        " " + pad("Test maker photometry", 60), " " + pad("Road luminaire XL", 60),
        " ityp 1", " isym 0", " C samples      4", " C delta       90.00", " Gamma samples  4",
        " Gamma delta   30.00", "   ", " Conversion factor for luminous intensities CFLI 1.0000",
        " Tilt angle during measurements (deg)   0.00", "   ", " Number of lamp sets 1",
        " type of lamp LED module 1        ", " total flux (lm) 12000", " wattage (including ballast)   95",
        " Maximum measured gamma   90"};
    EXPECT_EQ(r.report, report);

    const std::vector<std::string> data(console.end() - 12, console.end());
    EXPECT_EQ(r.data, data);

    const auto& p = table();
    EXPECT_EQ(p.cCount, 5);
    EXPECT_EQ(p.gammaCount, 4);
    EXPECT_EQ(p.index30, 2);
    EXPECT_EQ(p.index70, 3);
    EXPECT_EQ(p.lampType, "LED module 1        ");
    EXPECT_DOUBLE_EQ(p.lampSetFlux, 12000.9);
    EXPECT_DOUBLE_EQ(p.lampSetWattage, 95.6);
    EXPECT_DOUBLE_EQ(state().emission.downwardFluxFactor, 98.5);
    EXPECT_DOUBLE_EQ(state().emission.lightOutputRatio, 80.25);
    EXPECT_EQ(p.intensitySpline.size(), 20u);
}

TEST_F(EulumdatReader, TruncatedEchoesAndLongFileName) {
    LdtFile f = LdtFile::make(1, 1, 0, 3, 45);
    f.lines[static_cast<std::size_t>(f.lines.size() - 4)] = "89.9";  // last gamma: 0, 45, 89.9
    f.line(29) = "-7.99";                                              // flux truncates toward zero
    const ReaderRun r = run(f.text(), "a_rather_long_photometry_name.ldt");
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_TRUE(contains(r.console, " Luminaire input data file a_rather_long_photom"));
    EXPECT_FALSE(contains(r.console, "a_rather_long_photome"));
    EXPECT_TRUE(contains(r.console, " total flux (lm)    -7"));
    EXPECT_TRUE(contains(r.console, " Maximum measured gamma   89"));
}

// Symmetry expansion: the table column at each C angle holds the stored plane that the
// symmetry maps onto it.
TEST_F(EulumdatReader, SymmetryNoneKeepsPlanesAndClosesAt360) {
    ASSERT_FALSE(run(LdtFile::make(0, 24, 15, 5, 20).text()).stop);
    for (int i = 0; i < 24; ++i) {
        for (int j = 0; j < 5; ++j) EXPECT_EQ(table().I(i, j), stored(i, j)) << i;
    }
    for (int j = 0; j < 5; ++j) EXPECT_EQ(at(360, j), stored(0, j));
}

TEST_F(EulumdatReader, SymmetryRotationalFillsAllColumns) {
    ASSERT_FALSE(run(LdtFile::make(1, 24, 15, 5, 20).text()).stop);
    ASSERT_EQ(table().cCount, 25);
    for (int i = 0; i < 25; ++i) {
        for (int j = 0; j < 5; ++j) EXPECT_EQ(table().I(i, j), stored(0, j)) << i;
    }
}

TEST_F(EulumdatReader, SymmetryAboutC0C180MirrorsOntoUpperHalf) {
    ASSERT_FALSE(run(LdtFile::make(2, 24, 15, 5, 20).text()).stop);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(at(195, j), at(165, j));
        EXPECT_EQ(at(360, j), at(0, j));
        for (int c = 0; c <= 360; c += 15) {
            const int source = c > 180 ? 360 - c : c;
            EXPECT_EQ(at(c, j), stored(source / 15, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryAboutC90C270ReadsFrom270Through0To90) {
    ASSERT_FALSE(run(LdtFile::make(3, 24, 15, 4, 30).text()).stop);
    for (int j = 0; j < 4; ++j) {
        for (int c = 0; c <= 360; c += 15) {
            const int own = (c >= 90 && c <= 270) ? (180 - c + 360) % 360 : c % 360;
            const int p = ((own - 270 + 360) % 360) / 15;  // 270 is read first, 90 last
            EXPECT_EQ(at(c, j), stored(p, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryAboutC90C270WithMcNotMultipleOfFourAppliesFormulas) {
    // Mc = 6: h = 3, q = 1; four planes read; the three index rules give, at C = 0..360
    // in steps of 60, the planes 2, 3, 2, 1, 0, 1, 2 (0-based in file order).
    ASSERT_FALSE(run(LdtFile::make(3, 6, 60, 3, 45).text()).stop);
    const int expected[] = {2, 3, 2, 1, 0, 1, 2};
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(table().I(i, j), stored(expected[i], j)) << i;
    }
}

TEST_F(EulumdatReader, SymmetryAboutBothPlanesFillsFourQuadrants) {
    ASSERT_FALSE(run(LdtFile::make(4, 24, 15, 4, 30).text()).stop);
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(at(180, j), stored(0, j));
        EXPECT_EQ(at(360, j), stored(0, j));
        EXPECT_EQ(at(270, j), stored(6, j));
        EXPECT_EQ(at(165, j), stored(1, j));
        EXPECT_EQ(at(195, j), stored(1, j));
        EXPECT_EQ(at(345, j), stored(1, j));
        for (int c = 0; c <= 360; c += 15) {
            int r = c % 180;
            if (r > 90) r = 180 - r;
            EXPECT_EQ(at(c, j), stored(r / 15, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryOddPlaneCountsStayInsideTable) {
    for (int isym = 0; isym <= 4; ++isym) {
        for (int mc : {1, 2, 3, 5, 7}) {
            const ReaderRun r = run(LdtFile::make(isym, mc, 360.0 / (mc + 1), 3, 45).text());
            EXPECT_FALSE(r.stop.has_value()) << isym << " " << mc;
            EXPECT_EQ(table().intensity.size(), static_cast<std::size_t>((mc + 1) * 3));
            for (int j = 0; j < 3; ++j) EXPECT_EQ(table().I(mc, j), table().I(0, j)) << isym << " " << mc;
        }
    }
}

TEST_F(EulumdatReader, ConversionFactorMustBeExactlyOne) {
    LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
    f.line(24) = "1";
    EXPECT_FALSE(run(f.text()).stop.has_value());

    f.line(24) = "1.0001";
    const ReaderRun r = run(f.text());
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->status, 1);
    EXPECT_EQ(r.console.back(), " not allowed input file");
    EXPECT_EQ(r.console[r.console.size() - 2], " Gamma delta   30.00");
    EXPECT_FALSE(contains(r.report, "not allowed"));
    EXPECT_EQ(r.report.back(), " Gamma delta   30.00");
}

TEST_F(EulumdatReader, SymmetryOutsideRangeRefusedAfterMaximumGamma) {
    for (const char* isym : {"5", "-1"}) {
        LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
        f.line(3) = isym;
        const ReaderRun r = run(f.text());
        ASSERT_TRUE(r.stop.has_value());
        EXPECT_EQ(r.stop->status, 1);
        EXPECT_EQ(r.console.back(), " not allowed input file");
        EXPECT_EQ(r.console[r.console.size() - 2], " Maximum measured gamma   90");
        EXPECT_EQ(r.report.back(), " Maximum measured gamma   90");
        EXPECT_TRUE(r.data.empty());
    }
}

// Lines are positional: an empty line is an empty field and shifts nothing.
TEST_F(EulumdatReader, EmptyDiscardedLinesDoNotShiftTheHead) {
    LdtFile plain = LdtFile::make(2, 24, 15, 4, 30);
    ASSERT_FALSE(run(plain.text()).stop);
    const std::vector<double> reference = table().intensity;

    LdtFile f = plain;
    for (int n : {8, 10, 11, 12, 13, 17, 21}) f.line(n) = "";
    f.line(27) = "";                              // number of lamps
    f.line(30) = "";                              // colour temperature
    f.line(31) = "   ";                           // colour rendering
    for (int n = 33; n <= 42; ++n) f.line(n) = "";  // direct ratios
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value()) << r.stop->errorMessage;
    EXPECT_EQ(table().intensity, reference);
    EXPECT_EQ(table().conversionFactor, 1.0);
    EXPECT_EQ(table().lampSetWattage, 95.6);
}

TEST_F(EulumdatReader, EmptyEchoedTextsAreBlankLines) {
    LdtFile f = LdtFile::make(1, 1, 0, 3, 45);
    f.line(1) = "";
    f.line(9) = "";
    f.line(28) = "";  // type of lamps
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_EQ(r.console[6], std::string(61, ' '));
    EXPECT_EQ(r.console[7], std::string(61, ' '));
    EXPECT_EQ(r.report[6], std::string(61, ' '));
    EXPECT_EQ(table().lampType, std::string(20, ' '));
    EXPECT_TRUE(contains(r.console, " type of lamp " + std::string(20, ' ')));
}

TEST_F(EulumdatReader, LongEchoedTextsAreCut) {
    LdtFile f = LdtFile::make(1, 1, 0, 3, 45);
    f.line(1) = "\xEF\xBB\xBF" + std::string(70, 'x');
    f.line(28) = std::string(25, 'L');
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    // Line 1 is echoed as its first 60 bytes, a byte order mark included.
    EXPECT_EQ(r.console[6], " \xEF\xBB\xBF" + std::string(57, 'x'));
    EXPECT_EQ(table().lampType, std::string(20, 'L'));
}

TEST_F(EulumdatReader, UsedNumberMissingFromItsLineIsReadError) {
    struct Case {
        int line;
        const char* text;
    };
    for (const Case c : {Case{2, ""}, Case{3, "x"}, Case{5, ""}, Case{7, "'5'"}, Case{22, ""}, Case{24, ","},
                         Case{25, ""}, Case{26, "one"}, Case{29, ""}, Case{32, "n/a"}}) {
        LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
        f.line(c.line) = c.text;
        const ReaderRun r = run(f.text());
        ASSERT_TRUE(r.stop.has_value()) << c.line;
        EXPECT_EQ(r.stop->status, 2);
        EXPECT_NE(r.stop->errorMessage.find("lum.ldt"), std::string::npos);
        EXPECT_NE(r.stop->errorMessage.find("line " + std::to_string(c.line) + ": expected"), std::string::npos)
            << r.stop->errorMessage;
    }
}

TEST_F(EulumdatReader, FileEndingEarlyOrMissingIsReadError) {
    LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
    f.lines.pop_back();
    ReaderRun r = run(f.text());
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->status, 2);

    f.lines.resize(20);
    r = run(f.text());
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->status, 2);

    state().installation.photometryFile = "absent.ldt";
    reportFile().create("r.doc");
    dataFile().create("d.doc");
    ConsoleCapture capture;
    try {
        readPhotometry();
        ADD_FAILURE() << "a missing file must stop";
    } catch (const ProcessStop& stop) {
        EXPECT_EQ(stop.status, 2);
        EXPECT_NE(stop.errorMessage.find("absent.ldt"), std::string::npos);
    }
    reportFile().close();
    dataFile().close();
}

TEST_F(EulumdatReader, AnglesAndIntensitiesSkipEmptyLines) {
    LdtFile plain = LdtFile::make(0, 4, 90, 4, 30);
    ASSERT_FALSE(run(plain.text()).stop);
    const std::vector<double> reference = table().intensity;
    LdtFile f = plain;
    f.lines.insert(f.lines.begin() + 42, "");
    f.lines.insert(f.lines.begin() + 50, "");
    f.lines.push_back("");
    ASSERT_FALSE(run(f.text()).stop);
    EXPECT_EQ(table().intensity, reference);
}

TEST_F(EulumdatReader, CarriageReturnLineFeedReadsLikeLineFeed) {
    LdtFile f = LdtFile::make(4, 24, 15, 5, 20);
    f.line(8) = "";
    const ReaderRun lf = run(f.text());
    const std::vector<double> reference = table().intensity;
    const ReaderRun crlf = run(f.text("\r\n"));
    ASSERT_FALSE(crlf.stop.has_value());
    EXPECT_EQ(crlf.console, lf.console);
    EXPECT_EQ(crlf.report, lf.report);
    EXPECT_EQ(table().intensity, reference);
}

TEST_F(EulumdatReader, LampSetsLastKeptNoneKeepsEarlier) {
    ReaderRun r = run(LdtFile::make(1, 1, 0, 3, 45, 2).text());
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_EQ(std::count_if(r.console.begin(), r.console.end(),
                            [](const std::string& l) { return l.rfind(" type of lamp ", 0) == 0; }),
              2);
    EXPECT_TRUE(contains(r.report, " type of lamp LED module 1"));
    EXPECT_TRUE(contains(r.report, " total flux (lm) 12001"));
    EXPECT_TRUE(contains(r.report, " wattage (including ballast)   96"));
    EXPECT_EQ(table().lampType, "LED module 2        ");
    EXPECT_DOUBLE_EQ(table().lampSetFlux, 12001.9);
    EXPECT_DOUBLE_EQ(table().lampSetWattage, 96.6);
    EXPECT_EQ(table().lampSetCount, 2);

    r = run(LdtFile::make(1, 1, 0, 3, 45, 0).text());
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_FALSE(contains(r.console, "type of lamp"));
    EXPECT_TRUE(contains(r.console, " Number of lamp sets 0"));
    EXPECT_EQ(table().lampType, "LED module 2        ");
    EXPECT_DOUBLE_EQ(table().lampSetFlux, 12001.9);

    LdtFile f = LdtFile::make(1, 1, 0, 3, 45, 0);
    // A negative count is echoed and reads no lamp-set lines, like a count of 0.
    f.line(26) = "-1";
    r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_TRUE(contains(r.console, " Number of lamp sets -1"));
    EXPECT_TRUE(contains(r.report, " Number of lamp sets -1"));
    EXPECT_FALSE(contains(r.console, "type of lamp"));
    EXPECT_EQ(table().lampSetCount, -1);
    EXPECT_EQ(table().lampType, "LED module 2        ");
    EXPECT_EQ(table().gammaCount, 3);
    EXPECT_DOUBLE_EQ(table().gammaAngles[2], 90.0);

    f.line(26) = "100000";  // far more sets than the file holds
    r = run(f.text());
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->status, 2);
}

TEST_F(EulumdatReader, ListingIndexesKeptWhenNotSetAndOutOfRangePrintsZero) {
    // Gamma 40, 50, 80, 90: none at or below 30; an earlier run left index30 = 7.
    LdtFile f = LdtFile::make(1, 2, 180, 4, 10);
    const std::size_t g = f.lines.size() - 4 - 4;
    f.lines[g] = "40";
    f.lines[g + 1] = "50";
    f.lines[g + 2] = "80";
    f.lines[g + 3] = "90";
    state().photometry.index30 = 7;
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    EXPECT_EQ(table().index30, 7);
    EXPECT_EQ(table().index70, 2);
    EXPECT_EQ(r.data[5], " at gamma=                   0.0           50.0");
    ASSERT_EQ(r.data.size(), 10u);
    EXPECT_EQ(r.data[7], "              0.0            0.0          101.0");
    EXPECT_EQ(r.data[9], "            360.0            0.0          101.0");
}

TEST_F(EulumdatReader, NonAscendingAxesRefusedRightAfterTheirRead) {
    struct Case {
        std::vector<std::string> c, g;
    };
    for (const Case& k : {Case{{"0", "90", "180", "360"}, {"0", "30", "60", "90"}},
                          Case{{"0", "90", "90", "270"}, {"0", "30", "60", "90"}},
                          Case{{"0", "90", "180", "270"}, {"0", "30", "30", "90"}},
                          Case{{"0", "90", "180", "270"}, {"0", "60", "30", "90"}}}) {
        LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
        for (std::size_t i = 0; i < 4; ++i) {
            f.lines[42 + i] = k.c[i];
            f.lines[46 + i] = k.g[i];
        }
        const ReaderRun r = run(f.text());
        ASSERT_TRUE(r.stop.has_value());
        EXPECT_EQ(r.stop->status, 1);
        EXPECT_NE(r.console.back().find("lum.ldt"), std::string::npos);
        EXPECT_NE(r.console.back().find("ascend"), std::string::npos);
        EXPECT_FALSE(contains(r.console, "Maximum measured gamma"));
    }
}

// The driver's pre-read of Mc (line 4) and Ng (line 6).
class EulumdatDimensions : public ::testing::Test {
protected:
    std::optional<ProcessStop> read(const LdtFile& f, PhotometryDimensions& out) {
        dir_.write("dim.ldt", f.text());
        try {
            out = readPhotometryDimensions("dim.ldt");
        } catch (const ProcessStop& stop) {
            return stop;
        }
        return std::nullopt;
    }
    ScratchDir dir_;
    ConsoleCapture capture_;
};

TEST_F(EulumdatDimensions, ReadsLinesFourAndSixByPosition) {
    LdtFile f = LdtFile::make(0, 24, 15, 37, 5);
    f.line(2) = "";
    f.line(5) = "";
    PhotometryDimensions d;
    ASSERT_FALSE(read(f, d).has_value());
    EXPECT_EQ(d.cPlanes, 24);
    EXPECT_EQ(d.gammaAngles, 37);
    EXPECT_TRUE(capture_.lines().empty());

    f.line(4) = "199";
    f.line(6) = "200";
    ASSERT_FALSE(read(f, d).has_value());
    EXPECT_EQ(d.cPlanes, 199);
    EXPECT_EQ(d.gammaAngles, 200);
}

TEST_F(EulumdatDimensions, BoundsRefusedNamingFileAndBound) {
    struct Case {
        const char* mc;
        const char* ng;
        const char* bound;
    };
    for (const Case c : {Case{"0", "37", "below 1"}, Case{"-3", "37", "below 1"}, Case{"200", "37", "exceeds 200"},
                         Case{"360", "181", "exceeds 200"}, Case{"24", "1", "below 2"},
                         Case{"24", "201", "exceeds 200"}}) {
        LdtFile f = LdtFile::make(0, 24, 15, 37, 5);
        f.line(4) = c.mc;
        f.line(6) = c.ng;
        PhotometryDimensions d;
        const auto stop = read(f, d);
        ASSERT_TRUE(stop.has_value()) << c.mc << " " << c.ng;
        EXPECT_EQ(stop->status, 1);
        const std::string& message = capture_.lines().back();
        EXPECT_NE(message.find("dim.ldt"), std::string::npos) << message;
        EXPECT_NE(message.find(c.bound), std::string::npos) << message;
    }
}

TEST_F(EulumdatDimensions, MissingCountIsReadError) {
    LdtFile f = LdtFile::make(0, 24, 15, 37, 5);
    f.line(4) = "";
    PhotometryDimensions d;
    auto stop = read(f, d);
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->status, 2);
    EXPECT_NE(stop->errorMessage.find("line 4: expected the number of C planes Mc, found an empty line"),
              std::string::npos)
        << stop->errorMessage;

    f.line(4) = "24";
    f.lines.resize(5);
    stop = read(f, d);
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->status, 2);
}

}  // namespace
}  // namespace vl
