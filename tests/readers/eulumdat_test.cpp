// The Eulumdat reader on small files built here: symmetry expansion, positional head,
// refusals, and the echo the run shows of what was read.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/computation_state.hpp"
#include "app/driver.hpp"
#include "app/process_stop.hpp"
#include "readers/eulumdat.hpp"
#include "readers/read_error.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"
#include "writers/streams.hpp"

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

// What the pure reader made of a file, and how it failed.
struct LdtRead {
    EulumdatFile file;
    std::string refusal;
    std::string readError;
    bool ok() const { return refusal.empty() && readError.empty(); }
    const PhotometryTable& table() const { return file.table; }
    // Intensity at the column whose C angle is c.
    double at(double c, int j) const {
        const auto& p = file.table;
        const auto it = std::find(p.cAngles.begin(), p.cAngles.end(), c);
        EXPECT_NE(it, p.cAngles.end()) << "no C plane at " << c;
        return p.I(static_cast<int>(it - p.cAngles.begin()), j);
    }
};

// The input step of a run: what the user sees on each stream, and the stop.
struct ReaderRun {
    std::vector<std::string> console;
    std::vector<std::string> report;
    std::vector<std::string> data;
    std::optional<ProcessStop> stop;
};

class EulumdatReader : public ::testing::Test {
protected:
    LdtRead read(const std::string& content, const std::string& name = "lum.ldt") {
        dir_.write(name, content);
        LdtRead r;
        try {
            readEulumdat(name, r.file);
        } catch (const ReadError& error) {
            r.readError = error.what();
        } catch (const InputRefusal& refusal) {
            r.refusal = refusal.what();
        }
        return r;
    }

    ReaderRun run(const std::string& content, const std::string& name = "lum.ldt") {
        dir_.write(name, content);
        state().inputs = RunInputs{};
        state().inputs.installation.photometryFile = name;
        state().inputs.memory.listing = earlierListing_;
        ReaderRun r;
        reportFile().create("r.doc");
        dataFile().create("d.doc");
        {
            ConsoleCapture capture;
            try {
                asRunStep(readLuminaire);
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

    ScratchDir dir_;
    ListingIndices earlierListing_;
};

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

std::string pad(const std::string& s, std::size_t w) { return s + std::string(w - s.size(), ' '); }

TEST_F(EulumdatReader, HeadLampSetAndDeclaredFigures) {
    const LdtRead r = read(LdtFile::make(0, 4, 90, 4, 30).text());
    ASSERT_TRUE(r.ok()) << r.readError << r.refusal;
    const EulumdatHeader& h = r.file.header;
    EXPECT_EQ(r.file.progress, EulumdatProgress::Complete);
    EXPECT_EQ(h.identification, pad("Test maker photometry", 60));
    EXPECT_EQ(h.luminaireName, pad("Road luminaire XL", 60));
    EXPECT_EQ(h.typeIndicator, 1);
    EXPECT_EQ(h.cStep, 90.0);
    EXPECT_EQ(h.gammaStep, 30.0);
    const PhotometryTable& p = r.table();
    EXPECT_EQ(p.cCount, 5);
    EXPECT_EQ(p.gammaCount, 4);
    ASSERT_EQ(p.declared.lampSets.size(), 1u);
    EXPECT_EQ(p.declared.lampSets[0].lampType, "LED module 1        ");
    EXPECT_DOUBLE_EQ(p.declared.lampSets[0].totalFlux, 12000.9);
    EXPECT_DOUBLE_EQ(p.declared.lampSets[0].wattage, 95.6);
    EXPECT_DOUBLE_EQ(p.declared.downwardFluxFactor, 98.5);
    EXPECT_DOUBLE_EQ(p.declared.lightOutputRatio, 80.25);
    const ListingIndices k = listingIndices(p, {});
    EXPECT_EQ(k.index30, 2);
    EXPECT_EQ(k.index70, 3);
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
    const LdtRead r = read(LdtFile::make(0, 24, 15, 5, 20).text());
    ASSERT_TRUE(r.ok());
    for (int i = 0; i < 24; ++i) {
        for (int j = 0; j < 5; ++j) EXPECT_EQ(r.table().I(i, j), stored(i, j)) << i;
    }
    for (int j = 0; j < 5; ++j) EXPECT_EQ(r.at(360, j), stored(0, j));
}

TEST_F(EulumdatReader, SymmetryRotationalFillsAllColumns) {
    const LdtRead r = read(LdtFile::make(1, 24, 15, 5, 20).text());
    ASSERT_EQ(r.table().cCount, 25);
    for (int i = 0; i < 25; ++i) {
        for (int j = 0; j < 5; ++j) EXPECT_EQ(r.table().I(i, j), stored(0, j)) << i;
    }
}

TEST_F(EulumdatReader, SymmetryAboutC0C180MirrorsOntoUpperHalf) {
    const LdtRead r = read(LdtFile::make(2, 24, 15, 5, 20).text());
    ASSERT_TRUE(r.ok());
    for (int j = 0; j < 5; ++j) {
        for (int c = 0; c <= 360; c += 15) {
            const int source = c > 180 ? 360 - c : c;
            EXPECT_EQ(r.at(c, j), stored(source / 15, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryAboutC90C270ReadsFrom270Through0To90) {
    const LdtRead r = read(LdtFile::make(3, 24, 15, 4, 30).text());
    ASSERT_TRUE(r.ok());
    for (int j = 0; j < 4; ++j) {
        for (int c = 0; c <= 360; c += 15) {
            const int own = (c >= 90 && c <= 270) ? (180 - c + 360) % 360 : c % 360;
            const int p = ((own - 270 + 360) % 360) / 15;  // 270 is read first, 90 last
            EXPECT_EQ(r.at(c, j), stored(p, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryAboutC90C270WithMcNotMultipleOfFourAppliesFormulas) {
    // Mc = 6: h = 3, q = 1; four planes read; the three index rules give, at C = 0..360
    // in steps of 60, the planes 2, 3, 2, 1, 0, 1, 2 (0-based in file order).
    const LdtRead r = read(LdtFile::make(3, 6, 60, 3, 45).text());
    ASSERT_TRUE(r.ok());
    const int expected[] = {2, 3, 2, 1, 0, 1, 2};
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(r.table().I(i, j), stored(expected[i], j)) << i;
    }
}

TEST_F(EulumdatReader, SymmetryAboutBothPlanesFillsFourQuadrants) {
    const LdtRead r = read(LdtFile::make(4, 24, 15, 4, 30).text());
    ASSERT_TRUE(r.ok());
    for (int j = 0; j < 4; ++j) {
        for (int c = 0; c <= 360; c += 15) {
            int q = c % 180;
            if (q > 90) q = 180 - q;
            EXPECT_EQ(r.at(c, j), stored(q / 15, j)) << c;
        }
    }
}

TEST_F(EulumdatReader, SymmetryOddPlaneCountsStayInsideTable) {
    for (int isym = 0; isym <= 4; ++isym) {
        for (int mc : {1, 2, 3, 5, 7}) {
            const LdtRead r = read(LdtFile::make(isym, mc, 360.0 / (mc + 1), 3, 45).text());
            EXPECT_TRUE(r.ok()) << isym << " " << mc;
            EXPECT_EQ(r.table().intensity.size(), static_cast<std::size_t>((mc + 1) * 3));
            for (int j = 0; j < 3; ++j) EXPECT_EQ(r.table().I(mc, j), r.table().I(0, j)) << isym << " " << mc;
        }
    }
}

// "not allowed input file" after the shape lines (CFLI) or after the angles (Isym): the
// echo shows the file as far as that.
TEST_F(EulumdatReader, ConversionFactorAndSymmetryOutsideRangeAreNotAllowed) {
    LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
    f.line(24) = "1";
    EXPECT_TRUE(read(f.text()).ok());
    f.line(24) = "1.0001";
    LdtRead r = read(f.text());
    EXPECT_EQ(r.refusal, "not allowed input file");
    EXPECT_EQ(r.file.progress, EulumdatProgress::Shape);

    for (const char* isym : {"5", "-1"}) {
        f = LdtFile::make(0, 4, 90, 4, 30);
        f.line(3) = isym;
        r = read(f.text());
        EXPECT_EQ(r.refusal, "not allowed input file") << isym;
        EXPECT_EQ(r.file.progress, EulumdatProgress::Angles) << isym;
    }
}

// Lines are positional: an empty line is an empty field and shifts nothing.
TEST_F(EulumdatReader, EmptyDiscardedLinesDoNotShiftTheHead) {
    const LdtFile plain = LdtFile::make(2, 24, 15, 4, 30);
    const LdtRead reference = read(plain.text());
    LdtFile f = plain;
    for (int n : {8, 10, 11, 12, 13, 17, 21}) f.line(n) = "";
    f.line(27) = "";                                // number of lamps
    f.line(30) = "";                                // colour temperature
    f.line(31) = "   ";                             // colour rendering
    for (int n = 33; n <= 42; ++n) f.line(n) = "";  // direct ratios
    const LdtRead r = read(f.text());
    ASSERT_TRUE(r.ok()) << r.readError;
    EXPECT_EQ(r.table().intensity, reference.table().intensity);
    EXPECT_EQ(r.file.header.conversionFactor, 1.0);
    EXPECT_EQ(r.table().declared.lampSets.back().wattage, 95.6);
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
    EXPECT_EQ(state().inputs.photometry.declared.lampSets.back().lampType, std::string(20, ' '));
    EXPECT_TRUE(contains(r.console, " type of lamp " + std::string(20, ' ')));
}

TEST_F(EulumdatReader, LongTextsAreCut) {
    LdtFile f = LdtFile::make(1, 1, 0, 3, 45);
    f.line(1) = "\xEF\xBB\xBF" + std::string(70, 'x');
    f.line(28) = std::string(25, 'L');
    const LdtRead r = read(f.text());
    ASSERT_TRUE(r.ok());
    // Line 1 is its first 60 bytes, a byte order mark included.
    EXPECT_EQ(r.file.header.identification, "\xEF\xBB\xBF" + std::string(57, 'x'));
    EXPECT_EQ(r.table().declared.lampSets.back().lampType, std::string(20, 'L'));
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
        const LdtRead r = read(f.text());
        EXPECT_NE(r.readError.find("\"lum.ldt\""), std::string::npos) << c.line << ": " << r.readError << r.refusal;
        EXPECT_NE(r.readError.find("line " + std::to_string(c.line) + ": expected"), std::string::npos) << r.readError;
    }
}

TEST_F(EulumdatReader, FileEndingEarlyOrMissingIsReadError) {
    LdtFile f = LdtFile::make(0, 4, 90, 4, 30);
    f.lines.pop_back();
    EXPECT_NE(read(f.text()).readError.find("found the end of the file"), std::string::npos);
    f.lines.resize(20);
    EXPECT_NE(read(f.text()).readError.find("found the end of the file"), std::string::npos);

    EulumdatFile file;
    try {
        readEulumdat("absent.ldt", file);
        ADD_FAILURE() << "a missing file must fail";
    } catch (const ReadError& error) {
        EXPECT_EQ(error.fileName(), "absent.ldt");
    }
    EXPECT_EQ(file.progress, EulumdatProgress::None);
}

TEST_F(EulumdatReader, AnglesAndIntensitiesSkipEmptyLines) {
    const LdtFile plain = LdtFile::make(0, 4, 90, 4, 30);
    LdtFile f = plain;
    f.lines.insert(f.lines.begin() + 42, "");
    f.lines.insert(f.lines.begin() + 50, "");
    f.lines.push_back("");
    const LdtRead r = read(f.text());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.table().intensity, read(plain.text()).table().intensity);
}

TEST_F(EulumdatReader, CarriageReturnLineFeedReadsLikeLineFeed) {
    LdtFile f = LdtFile::make(4, 24, 15, 5, 20);
    f.line(8) = "";
    const LdtRead lf = read(f.text());
    const LdtRead crlf = read(f.text("\r\n"));
    ASSERT_TRUE(crlf.ok());
    EXPECT_EQ(crlf.file.header.identification, lf.file.header.identification);
    EXPECT_EQ(crlf.file.header.luminaireName, lf.file.header.luminaireName);
    EXPECT_EQ(crlf.table().declared.lampSets.back().lampType, lf.table().declared.lampSets.back().lampType);
    EXPECT_EQ(crlf.table().intensity, lf.table().intensity);
}

TEST_F(EulumdatReader, LampSetsAllKeptInOrder) {
    LdtRead r = read(LdtFile::make(1, 1, 0, 3, 45, 2).text());
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.table().declared.lampSets.size(), 2u);
    EXPECT_EQ(r.table().declared.lampSets[0].lampType, "LED module 1        ");
    EXPECT_EQ(r.table().declared.lampSets[1].lampType, "LED module 2        ");
    EXPECT_DOUBLE_EQ(r.table().declared.lampSets[1].totalFlux, 12001.9);
    EXPECT_DOUBLE_EQ(r.table().declared.lampSets[1].wattage, 96.6);

    r = read(LdtFile::make(1, 1, 0, 3, 45, 0).text());
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.table().declared.lampSets.empty());

    // A negative count is echoed and reads no lamp-set lines, like a count of 0.
    LdtFile f = LdtFile::make(1, 1, 0, 3, 45, 0);
    f.line(26) = "-1";
    const ReaderRun negative = run(f.text());
    ASSERT_FALSE(negative.stop.has_value());
    EXPECT_TRUE(contains(negative.console, " Number of lamp sets -1"));
    EXPECT_TRUE(contains(negative.report, " Number of lamp sets -1"));
    EXPECT_FALSE(contains(negative.console, "type of lamp"));
    EXPECT_EQ(state().inputs.photometry.gammaCount, 3);
    EXPECT_DOUBLE_EQ(state().inputs.photometry.gammaAngles[2], 90.0);

    f.line(26) = "100000";  // far more sets than the file holds
    EXPECT_FALSE(read(f.text()).readError.empty());
}

TEST_F(EulumdatReader, ListingIndexesKeptWhenNotSetAndOutOfRangePrintsZero) {
    // Gamma 40, 50, 80, 90: none at or below 30; an earlier run left index30 = 7.
    LdtFile f = LdtFile::make(1, 2, 180, 4, 10);
    const std::size_t g = f.lines.size() - 4 - 4;
    f.lines[g] = "40";
    f.lines[g + 1] = "50";
    f.lines[g + 2] = "80";
    f.lines[g + 3] = "90";
    earlierListing_.index30 = 7;
    const ReaderRun r = run(f.text());
    ASSERT_FALSE(r.stop.has_value());
    const ListingIndices k = listingIndices(state().inputs.photometry, earlierListing_);
    EXPECT_EQ(k.index30, 7);
    EXPECT_EQ(k.index70, 2);
    ASSERT_EQ(r.data.size(), 10u);
    EXPECT_EQ(r.data[5], " at gamma=                   0.0           50.0");
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
        const LdtRead r = read(f.text());
        EXPECT_NE(r.refusal.find("lum.ldt"), std::string::npos) << r.refusal;
        EXPECT_NE(r.refusal.find("ascend"), std::string::npos) << r.refusal;
        EXPECT_LT(r.file.progress, EulumdatProgress::Angles);  // no maximum gamma in the echo
    }
}

// The driver's pre-read of Mc (line 4) and Ng (line 6).
class EulumdatDimensions : public ::testing::Test {
protected:
    PhotometryDimensions read(const LdtFile& f) {
        dir_.write("dim.ldt", f.text());
        return readEulumdatDimensions("dim.ldt");
    }
    ScratchDir dir_;
};

TEST_F(EulumdatDimensions, ReadsLinesFourAndSixByPosition) {
    LdtFile f = LdtFile::make(0, 24, 15, 37, 5);
    f.line(2) = "";
    f.line(5) = "";
    PhotometryDimensions d = read(f);
    EXPECT_EQ(d.cPlanes, 24);
    EXPECT_EQ(d.gammaAngles, 37);
    f.line(4) = "199";
    f.line(6) = "200";
    d = read(f);
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
        try {
            read(f);
            ADD_FAILURE() << c.mc << " " << c.ng << " not refused";
        } catch (const InputRefusal& refusal) {
            const std::string message = refusal.what();
            EXPECT_NE(message.find("dim.ldt"), std::string::npos) << message;
            EXPECT_NE(message.find(c.bound), std::string::npos) << message;
        }
    }
}

TEST_F(EulumdatDimensions, MissingCountIsReadError) {
    LdtFile f = LdtFile::make(0, 24, 15, 37, 5);
    f.line(4) = "";
    try {
        read(f);
        ADD_FAILURE() << "no read error";
    } catch (const ReadError& error) {
        EXPECT_NE(error.kind().find("line 4: expected the number of C planes Mc, found an empty line"),
                  std::string::npos)
            << error.kind();
    }
    f.line(4) = "24";
    f.lines.resize(5);
    EXPECT_THROW(read(f), ReadError);
}

}  // namespace
}  // namespace vl
