// Bad inputs, run end to end as a user runs the program: each is refused with its
// message and status, or computed without a crash, and the files of an earlier run in
// the same directory stay as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runProgram;

constexpr const char* kEarlierClock = "20240101120000";
constexpr const char* kLaterClock = "20240101130000";
constexpr const char* kEarlierReport = "report_nocturne_202401011200.doc";
constexpr const char* kEarlierData = "outdat_nocturne_202401011200.doc";
constexpr const char* kLaterReport = "report_nocturne_202401011300.doc";

const std::string kInstallationLine =
    "   6.50   7.00  24.00   2.50   7.00   0.80   0.00 C2  1  eulumdat.ldt        ";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> linesOf(const std::string& name) { return splitLines(readFile(name)); }

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

std::string garbage(unsigned seed, std::size_t size) {
    std::minstd_rand random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A scratch copy of the bundled installation holding the files of one good run.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.copyAllBundled();
        ::setenv("VESPERLUMINAL_CLOCK", kEarlierClock, 1);
        const auto earlier = runProgram("--batch --start");
        ::unsetenv("VESPERLUMINAL_CLOCK");
        ASSERT_EQ(earlier.status, 0) << earlier.err;
        earlierReport_ = readFile(kEarlierReport);
        earlierData_ = readFile(kEarlierData);
        ASSERT_FALSE(earlierReport_.empty());
        pristine_ = {{"eulumdat.ldt", readFile("eulumdat.ldt")},
                     {"SRT_C2", readFile("SRT_C2")},
                     {"grid.dat", readFile("grid.dat")},
                     {"extend.txt", readFile("extend.txt")},
                     {"header.txt", readFile("header.txt")},
                     {"asphalt1_reflectance.dat", readFile("asphalt1_reflectance.dat")}};
    }

    // A run an hour later than the earlier one (its files get other names).
    test::ProgramResult later(const std::string& arguments) {
        fs::remove(kLaterReport);
        ::setenv("VESPERLUMINAL_CLOCK", kLaterClock, 1);
        auto result = runProgram(arguments);
        ::unsetenv("VESPERLUMINAL_CLOCK");
        return result;
    }

    void expectEarlierKept() {
        EXPECT_EQ(readFile(kEarlierReport), earlierReport_);
        EXPECT_EQ(readFile(kEarlierData), earlierData_);
    }

    void restore() {
        for (const auto& [name, content] : pristine_) dir_.write(name, content);
    }

    void write(const std::string& name, const std::string& content) { dir_.write(name, content); }

    // Line k (from 1) of a bundled file replaced.
    void replaceLine(const std::string& name, std::size_t k, const std::string& text) {
        auto lines = linesOf(name);
        ASSERT_LE(k, lines.size());
        lines[k - 1] = text;
        write(name, joined(lines));
    }

    void keepLines(const std::string& name, std::size_t n) {
        auto lines = linesOf(name);
        lines.resize(std::min(n, lines.size()));
        write(name, joined(lines));
    }

    // Refused with the status; the message on the Console (status 1) or on standard
    // error naming the file (status 2).
    void expectRefused(const test::ProgramResult& run, int status, const std::string& message,
                       const std::string& file = "") {
        EXPECT_EQ(run.status, status) << run.out.substr(run.out.size() > 600 ? run.out.size() - 600 : 0) << run.err;
        const std::string& where = status == 1 ? run.out : run.err;
        EXPECT_NE(where.find(message), std::string::npos) << "wanted: " << message << "\nout tail: "
                                                          << run.out.substr(run.out.size() > 300 ? run.out.size() - 300 : 0)
                                                          << "\nerr: " << run.err;
        if (!file.empty()) {
            EXPECT_NE(where.find(file), std::string::npos) << where;
        }
        // A refusal of the program's own says nothing on standard error, but for the grid
        // choice, whose valid range and records are named there.
        if (status == 1 && message.find("wrong input grid choice") == std::string::npos) {
            for (const std::string& line : splitLines(run.err)) {
                EXPECT_EQ(line.rfind("vesperluminal: warning: ", 0), 0u) << run.err;
            }
        }
        EXPECT_EQ(run.out.find("Computation completed"), std::string::npos);
        expectEarlierKept();
    }

    test::ScratchDir dir_;
    std::string earlierReport_;
    std::string earlierData_;
    std::vector<std::pair<std::string, std::string>> pristine_;
};

TEST_F(BadInput, InstallationFileUnreadableStopsBeforeAnyOutputFile) {
    struct Case {
        const char* what;
        std::string content;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"empty", "", "line 1: expected the lamp flux (a number), found the end of the file (the file is empty)"},
        {"only blanks", "     \n   \n\t\n", "line 4: expected the lamp flux (a number), found the end of the file"},
        {"cut after four numbers", kInstallationLine.substr(0, 28) + "\n",
         "line 2: expected the pole height (a number), found the end of the file (the file has 1 line)"},
        {"cut before the file name", kInstallationLine.substr(0, 55) + "\n",
         "expected the Eulumdat file name (a text), found the end of the file"},
        {"text for the lamp flux", "    abc" + kInstallationLine.substr(7) + "\n", "line 1: expected the lamp flux (a number), found \"abc\""},
        {"text for the grid", kInstallationLine.substr(0, 52) + "  x" + kInstallationLine.substr(55) + "\n",
         "line 1: expected the grid choice (an integer), found \"x\""},
        {"binary garbage", garbage(7, 4096), "(a number), found \""},
        {"a 5000-digit number", std::string(5000, '1') + " 7 24 2.5 7 0.8 0 C2 1 eulumdat.ldt\n",
         "line 1: expected the lamp flux (a number), found \"1111"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write("input_nocturne.dat", c.content);
        const auto run = later("--run");
        expectRefused(run, 2, c.message, "input_nocturne.dat");
        EXPECT_LT(run.err.size(), 200u);  // the item is quoted cut, not whole
        EXPECT_FALSE(fs::exists(kLaterReport));
    }
}

TEST_F(BadInput, InstallationValuesTooWideForTheirColumnsFailOnReadBack) {
    // 10000 klm is written as asterisks; a road width of 1000 m joins the lamp flux.
    expectRefused(later("--batch --set flux=10000 --start"), 2, "found \"*******\"", "input_nocturne.dat");
    expectRefused(later("--batch --set width=1000 --start"), 2, "expected the lamp flux (a number), found \"6.501000.00\"",
                  "input_nocturne.dat");
    EXPECT_FALSE(fs::exists(kLaterReport));
}

TEST_F(BadInput, InstallationLineEndsAndLongLinesReadAsUsual) {
    for (const std::string& content : {kInstallationLine + "\r\n", kInstallationLine,
                                       kInstallationLine + " " + std::string(200000, 'x') + "\n"}) {
        SCOPED_TRACE(content.substr(content.size() - 2));
        write("input_nocturne.dat", content);
        const auto run = later("--run");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Computation completed"), std::string::npos);
        EXPECT_TRUE(fs::exists(kLaterReport));
        expectEarlierKept();
    }
}

TEST_F(BadInput, GridRecordsBeyondTheMapsAreRefusedBeforeAnyOutputFile) {
    struct Case {
        const char* record;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"1 201 c 6 c 60.0 1.5 0.25 0.75", "grid.dat record 1: points along X must lie in 1..200, not 201"},
        {"1 10 c 201 c 60.0 1.5 0.25 0.75", "grid.dat record 1: points along Y must lie in 1..200, not 201"},
        {"1 0 c 6 c 60.0 1.5 0.25 0.75", "points along X must lie in 1..200, not 0"},
        {"1 -4 c 6 c 60.0 1.5 0.25 0.75", "points along X must lie in 1..200, not -4"},
        {"1 10 c 6 c 60.0 1.5 0.25 1.0", "observer 2 fraction must satisfy 0 <= f < 1, not 1.0"},
        {"1 10 c 6 c 60.0 1.5 -0.1 0.75", "observer 1 fraction must satisfy 0 <= f < 1, not -0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        replaceLine("grid.dat", 2, c.record);
        const auto run = later("--batch --start");
        expectRefused(run, 1, c.message);
        EXPECT_FALSE(fs::exists(kLaterReport));
    }
    // Refused in the driver: not even a run in the same minute touches the earlier files.
    ::setenv("VESPERLUMINAL_CLOCK", kEarlierClock, 1);
    const auto sameMinute = runProgram("--batch --start");
    ::unsetenv("VESPERLUMINAL_CLOCK");
    EXPECT_EQ(sameMinute.status, 1);
    expectEarlierKept();
}

TEST_F(BadInput, GridFileUnreadableOrWithoutTheRecord) {
    replaceLine("grid.dat", 2, "1 ten c 6 c 60.0 1.5 0.25 0.75");
    expectRefused(later("--batch --start"), 2, "line 2: expected the points along X (an integer), found \"ten\"",
                  "grid.dat");
    write("grid.dat", "");
    expectRefused(later("--batch --start"), 2, "line 1: expected grid record number 1, found the end of the file (the file is empty)",
                  "grid.dat");
    restore();
    keepLines("grid.dat", 3);
    expectRefused(later("--batch --set grid=2 --start"), 2,
                  "line 4: expected the grid number (an integer), found the end of the file",
                  "grid.dat");
    restore();
    keepLines("grid.dat", 4);
    expectRefused(later("--batch --set grid=5 --start"), 2, "expected grid record number 5, found the end of the file", "grid.dat");
    for (const char* choice : {"0", "-3", "10"}) {
        SCOPED_TRACE(choice);
        expectRefused(later(std::string("--batch --set grid=") + choice + " --start"), 1, " wrong input grid choice\n");
    }
    EXPECT_FALSE(fs::exists(kLaterReport));
}

TEST_F(BadInput, OddButReadableGridRecordsRun) {
    for (const char* record : {"1 1 b 1 b 60.0 1.5 0.25 0.75", "1 10 z 6 q 60.0 1.5 0.25 0.75",
                               "1 10 c 6 c 0 0 0 0.99"}) {
        SCOPED_TRACE(record);
        replaceLine("grid.dat", 2, record);
        const auto run = later("--batch --start");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(fs::exists(kLaterReport));
        expectEarlierKept();
    }
    restore();
    auto crlf = readFile("grid.dat");
    std::string converted;
    for (char c : crlf) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
    write("grid.dat", converted);
    EXPECT_EQ(later("--batch --start").status, 0);
}

TEST_F(BadInput, SwitchFileUnreadableStopsAfterTheReportIsHeaded) {
    for (const char* content : {"", "yes\n"}) {
        SCOPED_TRACE(content);
        write("extend.txt", content);
        const auto run = later("--batch --start");
        expectRefused(run, 2, "", "extend.txt");
        EXPECT_NE(readFile(kLaterReport).find("Input installation data:"), std::string::npos);
    }
    fs::remove("extend.txt");
    expectRefused(later("--batch --start"), 2,
                  "did not exist, so an empty file of that name now stands in its place; line 1: expected the switch "
                  "of the plot images (an integer), found the end of the file",
                  "extend.txt");
}

TEST_F(BadInput, HeaderShortLongOrBinary) {
    write("header.txt", "");
    expectRefused(later("--batch --start"), 2, "line 1: expected a line of text, found the end of the file", "header.txt");
    write("header.txt", "one\ntwo\nthree\n");
    expectRefused(later("--batch --start"), 2, "line 4: expected a line of text, found the end of the file (the file has 3 lines)",
                  "header.txt");

    std::string longLines;
    for (int k = 0; k < 6; ++k) longLines += std::string(100000, 'y') + "\n";
    for (const std::string& content : {longLines, garbage(3, 4096)}) {
        write("header.txt", content);
        const auto run = later("--batch --start");
        EXPECT_EQ(run.status, 0) << run.err;
        const auto report = linesOf(kLaterReport);
        ASSERT_GT(report.size(), 6u);
        for (int k = 1; k <= 5; ++k) EXPECT_EQ(report[static_cast<std::size_t>(k)].size(), 81u);
        expectEarlierKept();
    }
}

TEST_F(BadInput, PhotometryCountsOutsideTheTablesRefusedBeforeAnyOutputFile) {
    struct Case {
        std::size_t line;
        const char* value;
        const char* message;
    };
    const std::vector<Case> cases = {
        {4, "0", "Eulumdat file eulumdat.ldt: number of C planes Mc = 0 is below 1"},
        {4, "-5", "Mc = -5 is below 1"},
        {4, "200", "Mc = 200: Mc + 1 exceeds 200"},
        {6, "1", "Eulumdat file eulumdat.ldt: number of gamma angles Ng = 1 is below 2"},
        {6, "0", "Ng = 0 is below 2"},
        {6, "201", "Ng = 201 exceeds 200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.value);
        restore();
        replaceLine("eulumdat.ldt", c.line, c.value);
        expectRefused(later("--batch --start"), 1, c.message);
        EXPECT_FALSE(fs::exists(kLaterReport));
    }
    restore();
    replaceLine("eulumdat.ldt", 4, "abc");
    expectRefused(later("--batch --start"), 2, "line 4: expected the number of C planes Mc (an integer), found \"abc\"",
                  "eulumdat.ldt");
    replaceLine("eulumdat.ldt", 4, "    ");
    expectRefused(later("--batch --start"), 2, "line 4: expected the number of C planes Mc, found an empty line",
                  "eulumdat.ldt");
    replaceLine("eulumdat.ldt", 4, "99999999999");
    expectRefused(later("--batch --start"), 2, "(an integer), found \"99999999999\"", "eulumdat.ldt");
}

TEST_F(BadInput, PhotometryTruncatedInEverySection) {
    // Head, head counts, lamp set, direct ratios, C angles, gamma angles, intensities.
    for (std::size_t keep : {0u, 3u, 5u, 15u, 25u, 30u, 38u, 80u, 200u, 5000u, 13326u}) {
        SCOPED_TRACE(keep);
        restore();
        keepLines("eulumdat.ldt", keep);
        expectRefused(later("--batch --start"), 2, ", found the end of the file", "eulumdat.ldt");
    }
}

TEST_F(BadInput, PhotometryRefusedValues) {
    struct Case {
        std::size_t line;
        const char* value;
        int status;
        const char* message;
    };
    const std::vector<Case> cases = {
        {24, "1.0001", 1, " not allowed input file\n"},
        {3, "5", 1, " not allowed input file\n"},
        {3, "-1", 1, " not allowed input file\n"},
        {24, "one", 2, "line 24: expected CFLI (a number), found \"one\""},
        {5, "five", 2, "line 5: expected Dc (a number), found \"five\""},
        {29, "lots", 2, "expected the total luminous flux of the lamps (a number), found \"lots\""},
        {400, "nan", 2, "line 400: expected a number, found \"nan\""},
        {400, "1e400", 2, "line 400: expected a number, found \"1e400\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + ": " + c.value);
        restore();
        replaceLine("eulumdat.ldt", c.line, c.value);
        expectRefused(later("--batch --start"), c.status, c.message, c.status == 2 ? "eulumdat.ldt" : "");
    }
    restore();
    replaceLine("eulumdat.ldt", 24, "1");
    EXPECT_EQ(later("--batch --start").status, 0);
}

TEST_F(BadInput, PhotometryAxesNotAscendingAreRefusedWithoutAPause) {
    struct Case {
        std::size_t line;
        const char* value;
        const char* message;
    };
    // Lines 43..114 hold the 72 C angles, 115..295 the 181 gamma angles.
    const std::vector<Case> cases = {
        {44, "0", "the C angles must ascend strictly below 360 (0.0 follows 0.0)"},
        {44, "-5", "the C angles must ascend strictly below 360 (-5.0 follows 0.0)"},
        {114, "360", "the C angles must ascend strictly below 360 (360.0 follows 360.0)"},
        {116, "0", "the gamma angles must ascend strictly (0.0 follows 0.0)"},
        {117, "0.5", "the gamma angles must ascend strictly"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        restore();
        replaceLine("eulumdat.ldt", c.line, c.value);
        const auto run = later("--batch --start");  // standard input is empty: a pause would not wait
        expectRefused(run, 1, c.message);
        EXPECT_EQ(run.out.find("Bad XA input."), std::string::npos);
    }
}

TEST_F(BadInput, PhotometryLampSetCounts) {
    auto lines = linesOf("eulumdat.ldt");
    // No lamp set (a negative count reads none either), its six lines gone.
    test::ProgramResult run;
    for (const char* none : {"0", "-2"}) {
        SCOPED_TRACE(none);
        auto without = lines;
        without[25] = none;
        without.erase(without.begin() + 26, without.begin() + 32);
        write("eulumdat.ldt", joined(without));
        run = later("--batch --start");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(std::string(" Number of lamp sets ") + none + "\n"), std::string::npos);
        EXPECT_EQ(count(run.out, "type of lamp"), 0u);
        expectEarlierKept();
    }

    // A thousand lamp sets, each of six lines.
    auto thousand = std::vector<std::string>(lines.begin(), lines.begin() + 26);
    thousand[25] = "1000";
    for (int k = 0; k < 1000; ++k) thousand.insert(thousand.end(), lines.begin() + 26, lines.begin() + 32);
    thousand.insert(thousand.end(), lines.begin() + 32, lines.end());
    write("eulumdat.ldt", joined(thousand));
    run = later("--batch --start");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(readFile(kLaterReport), " type of lamp V3HD_GEN8"), 1000u);
    expectEarlierKept();

    // A thousand announced, one present: the angles read from the intensities are refused.
    restore();
    replaceLine("eulumdat.ldt", 26, "1000");
    expectRefused(later("--batch --start"), 1, "must ascend strictly");
}

TEST_F(BadInput, PhotometryLineEndsLongLinesAndGarbage) {
    const std::string original = readFile("eulumdat.ldt");
    std::string crlf;
    for (char c : original) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    auto lines = linesOf("eulumdat.ldt");
    auto longLines = lines;
    longLines[0] = std::string(300000, 'X');
    longLines[7] = std::string(300000, 'Y');
    auto blankDiscarded = lines;
    blankDiscarded[7] = "      ";
    const std::vector<std::pair<const char*, std::string>> readable = {
        {"CR LF", crlf},
        {"no final newline", original.substr(0, original.size() - 1)},
        {"byte order mark", "\xEF\xBB\xBF" + original},
        {"very long lines 1 and 8", joined(longLines)},
        {"line 8 only blanks", joined(blankDiscarded)},
    };
    for (const auto& [what, content] : readable) {
        SCOPED_TRACE(what);
        write("eulumdat.ldt", content);
        const auto run = later("--batch --start");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Computation completed"), std::string::npos);
        expectEarlierKept();
    }
    write("eulumdat.ldt", garbage(11, 65536));
    expectRefused(later("--batch --start"), 2, "", "eulumdat.ldt");
    EXPECT_FALSE(fs::exists(kLaterReport));
    write("eulumdat.ldt", original.substr(0, 3000) + garbage(5, 5000));
    expectRefused(later("--batch --start"), 2, "expected a number, found \"", "eulumdat.ldt");
}

TEST_F(BadInput, SurfaceCountsBeyondTheTableAreRefused) {
    struct Case {
        std::size_t line;
        const char* value;
        const char* message;
    };
    const std::vector<Case> cases = {
        {14, "21", "SRT_C2: beta count 21 is outside 2..20"},
        {15, "30", "SRT_C2: tan gamma count 30 is outside 2..29"},
        {14, "1", "SRT_C2: beta count 1 is outside 2..20"},
        {14, "-3", "SRT_C2: beta count -3 is outside 2..20"},
        {15, "-29", "SRT_C2: tan gamma count -29 is outside 2..29"},
        {18, "0.0", "SRT_C2: beta values are not strictly ascending"},
        {38, "0.0", "SRT_C2: tan gamma values are not strictly ascending"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        restore();
        replaceLine("SRT_C2", c.line, c.value);
        const auto run = later("--batch --start");
        expectRefused(run, 1, c.message);
        EXPECT_EQ(run.out.find("Bad XA input."), std::string::npos);
    }
}

TEST_F(BadInput, SurfaceFileShortUnreadableOrOdd) {
    for (std::size_t keep : {0u, 3u, 10u, 14u, 15u, 30u, 600u, 644u}) {
        SCOPED_TRACE(keep);
        restore();
        keepLines("SRT_C2", keep);
        expectRefused(later("--batch --start"), 2, ", found the end of the file", "SRT_C2");
    }
    restore();
    replaceLine("SRT_C2", 14, "twenty");
    expectRefused(later("--batch --start"), 2, "line 14: expected an integer, found \"twenty\"", "SRT_C2");
    write("SRT_C2", garbage(13, 8192));
    expectRefused(later("--batch --start"), 2, "", "SRT_C2");
    expectRefused(later("--batch --set surface=ZZ --start"), 2,
                  "file \"SRT_ZZ\": did not exist, so an empty file of that name now stands in its place; line 1: "
                  "expected a text, found the end of the file");

    restore();
    auto lines = linesOf("SRT_C2");
    lines[1] = "\"" + std::string(200000, 'Z') + "\"";
    lines[2] = "\"open quote and no end";
    lines.insert(lines.begin() + 20, {"    ", "\t", ""});
    write("SRT_C2", joined(lines));
    const auto run = later("--batch --start");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\n " + std::string(78, 'Z') + "\n"), std::string::npos);
    expectEarlierKept();
}

TEST_F(BadInput, AgedAsphaltCurveShortOrNotAscending) {
    keepLines("asphalt1_reflectance.dat", 20);
    expectRefused(later("--batch --start"), 2, "line 21: expected a number, found the end of the file (the file has 20 lines)",
                  "asphalt1_reflectance.dat");
    restore();
    replaceLine("asphalt1_reflectance.dat", 5, "0.0");
    expectRefused(later("--batch --start"), 1, "asphalt1_reflectance.dat: x values are not strictly ascending");
}

TEST_F(BadInput, DegenerateInstallationsRunWithoutACrash) {
    // Zero spacing: the rotation-only end, with and without a tilt.
    for (const char* arguments : {"--batch --set spacing=0 --start", "--batch --set spacing=0 --set tilt=10 --start"}) {
        SCOPED_TRACE(arguments);
        const auto run = later(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("luminaire spacing was set to zero then"), std::string::npos);
        EXPECT_EQ(run.out.find("Computation completed"), std::string::npos);
        EXPECT_TRUE(fs::exists(kLaterReport));
        expectEarlierKept();
    }
    // Zero flux or maintenance factor, zero or negative sizes: figures may be NaN, written as such.
    for (const char* arguments :
         {"--batch --set flux=0 --start", "--batch --set maintenance=0 --start", "--batch --set width=-7 --start",
          "--batch --set height=-7 --start", "--batch --set height=0 --start"}) {
        SCOPED_TRACE(arguments);
        const auto run = later(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Computation completed"), std::string::npos);
        EXPECT_EQ(readFile(kLaterReport).find("-nan"), std::string::npos);
        expectEarlierKept();
    }
    EXPECT_NE(readFile(kLaterReport).find("NaN"), std::string::npos);  // height 0
}

TEST_F(BadInput, NonAsciiFileNamesTypedIntoTheForm) {
    // A name longer than 20 bytes is cut at 20; a missing file is created empty.
    expectRefused(later("--batch --set 'photometry=Straßenleuchte_é.ldt' --start"), 2,
                  "file \"Straßenleuchte_é.l\": did not exist, so an empty file of that name now stands in its "
                  "place; line 1: expected header line 1, found the end of the file");
    EXPECT_TRUE(fs::exists("Straßenleuchte_é.l"));
    expectRefused(later("--batch --set 'surface=Äx' --start"), 2, "file \"SRT_Ä\": did not exist");
    EXPECT_NE(readFile("input_nocturne.dat").find(" Ä  1  eulumdat.ldt"), std::string::npos);
}

}  // namespace
}  // namespace vl
