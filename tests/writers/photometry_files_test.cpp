// The Eulumdat and IES writers (a written file reads back to the table it was written
// from) and the "Input luminaire:" echo of an IES file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "readers/photometry_tools.hpp"
#include "support/test_support.hpp"
#include "writers/eulumdat_file.hpp"
#include "writers/ies_file.hpp"
#include "writers/luminaire_echo.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VL_TEST_DATA_DIR;

// Every readable Eulumdat file of the test data and the IES files as this program reads
// them (R = 90).
std::vector<std::pair<std::string, PhotometryTable>> tables() {
    std::vector<std::pair<std::string, PhotometryTable>> all;
    for (const auto& entry : fs::directory_iterator(kData / "ldt")) {
        if (entry.path().extension() != ".ldt" || entry.path().filename() == "sample7.ldt") continue;
        EulumdatFile file;
        readEulumdat(entry.path().string(), file);
        all.emplace_back(entry.path().filename().string(), file.table);
    }
    for (const auto& entry : fs::directory_iterator(kData / "ies")) {
        IesFile file;
        try {
            readIes(entry.path().string(), file);
        } catch (const std::exception&) {
            continue;  // the refused files
        }
        all.emplace_back(entry.path().filename().string(), file.table);
    }
    return all;
}

bool absolute(const PhotometryTable& t) { return t.declared.lampSets.back().lampCount.find('-') != std::string::npos; }

TEST(PhotometryWriters, WrittenFilesReadBackToTheirTables) {
    test::ScratchDir dir;
    int ies = 0;
    for (const auto& [name, table] : tables()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(writeEulumdatFile("w.ldt", table, EulumdatText{}));
        EulumdatFile ldt;
        readEulumdat("w.ldt", ldt);
        EXPECT_EQ(ldt.header.symmetry, eulumdatSymmetry(table));
        EXPECT_EQ(ldt.table.cAngles.size(), table.cAngles.size());
        EXPECT_LE(test::largestDifference(ldt.table, table), 0.0005 + 1e-9);  // three decimals
        EXPECT_NEAR(ldt.table.declared.lightOutputRatio, table.declared.lightOutputRatio, 0.005);
        EXPECT_NEAR(ldt.table.declared.lampSets.back().totalFlux, table.declared.lampSets.back().totalFlux, 0.0005);

        if (!iesVerticalSet(table)) continue;
        ++ies;
        ASSERT_TRUE(writeIesFile("w.ies", table, IesText{}));
        IesFile back;
        readIes("w.ies", back, 0.0);
        // Candelas in three decimals; absolute photometry comes back per klm of its
        // integrated flux (of the rounded candelas: twice the rounding).
        const double flux = table.declared.lampSets.back().totalFlux;
        const double scale = absolute(table) ? 1000.0 / integrateFlux(table).total() : 1.0;
        EXPECT_LE(test::largestDifference(back.table, table, 1.0, scale),
                  (absolute(table) ? 2.0 : 1.0) * 0.0005 * 1000.0 / flux + 1e-9);
    }
    EXPECT_GE(ies, 30);
}

TEST(PhotometryWriters, SymmetryFollowsTheTurn) {
    IesFile isym2;
    readIes((kData / "ies" / "luxpy_isym2_h0-180.ies").string(), isym2, 0.0);
    EXPECT_EQ(eulumdatSymmetry(isym2.table), 2);
    readIes((kData / "ies" / "luxpy_isym2_h0-180.ies").string(), isym2, 90.0);
    EXPECT_EQ(eulumdatSymmetry(isym2.table), 3);  // H 0-180 lies on C 90-270
    readIes((kData / "ies" / "luxpy_isym4_h0-90_multiplier.ies").string(), isym2, 90.0);
    EXPECT_EQ(eulumdatSymmetry(isym2.table), 4);
    readIes((kData / "ies" / "pv_dummy_absolute.ies").string(), isym2, 90.0);
    EXPECT_EQ(eulumdatSymmetry(isym2.table), 1);
    readIes((kData / "ies" / "maxwell_t4_street_iesna_orient.ies").string(), isym2, 90.0);
    EXPECT_EQ(eulumdatSymmetry(isym2.table), 0);
}

// ---------------------------------------------------------------- echo

std::vector<std::string> echo(const fs::path& source) {
    test::ScratchDir dir;
    test::ConsoleCapture console;
    reportFile().create("r.doc");
    IesFile file;
    try {
        readIes(source.string(), file);
    } catch (const std::exception&) {
    }
    writeIesEcho(source.filename().string(), file);
    reportFile().close();
    const std::vector<std::string> report = test::readLines("r.doc");
    EXPECT_EQ(report.size(), console.lines().size());
    return console.lines();
}

TEST(IesEcho, SameLabelsAsEulumdatAndTheIesFields) {
    const std::vector<std::string> expected = {
        "     ",
        " " + std::string(54, '-'),
        " Input luminaire:",
        "     ",
        " Luminaire input data file tilt_include_synthet",
        "   ",
        " Synthetic Test Files                                        ",
        " TILT=INCLUDE Test Fixture                                   ",
        " IES LM-63-2002 file, label:",
        " [TEST] SYNTHETIC-TILT-001",
        " [MANUFAC] Synthetic Test Files",
        " [LUMCAT] TILT-TEST",
        " [LUMINAIRE] TILT=INCLUDE Test Fixture",
        " [LAMP] LED Integrated",
        " TILT=INCLUDE, lamp-to-luminaire geometry 1",
        " lamp tilt angle (deg) and output factor, not applied:",
        "        0.00    1.0000",
        "       45.00    0.9000",
        "       90.00    0.8000",
        "      180.00    1.0000",
        " ityp not in an IES file",
        " isym not in an IES file",
        " photometric type C, units type 2 (metres)",
        " horizontal angles H 0.0 to 0.0 (1), rotational symmetry",
        " vertical angles 0.0 to 90.0 (5)",
        " Rotation C = H + R, R (deg)    90.00",
        " C samples     24",
        " C delta       15.00",
        " Gamma samples  5",
        " Gamma delta   22.50",
        "  ",
        " Conversion factor for luminous intensities CFLI not in an IES file",
        " Candela multiplier    1.0000",
        " Ballast factor        1.0000",
        " Tilt angle during measurements (deg) not in an IES file",
        "   ",
        " Number of lamp sets 1",
        " type of lamp LED Integrated      ",
        " number of lamps 1 lumens per lamp 1000.0",
        " total flux (lm)  1000",
        " wattage (including ballast)   10",
        " Maximum measured gamma   90",
    };
    EXPECT_EQ(echo(kData / "ies" / "tilt_include_synthetic.ies"), expected);
}

TEST(IesEcho, AsFarAsTheFileWasRead) {
    const std::vector<std::string> typeB = echo(kData / "ies" / "mdl_type_b.ies");
    ASSERT_FALSE(typeB.empty());
    EXPECT_EQ(typeB.back(), " TILT=NONE");  // refused at the counts
    const std::vector<std::string> absolute = echo(kData / "ies" / "pv_label_lines_more.ies");
    const auto has = [&](const std::string& line) {
        return std::find(absolute.begin(), absolute.end(), line) != absolute.end();
    };
    EXPECT_TRUE(has(" [MORE] Divided by LF characters"));
    EXPECT_TRUE(has(" photometric type C, units type 1 (feet)"));
    EXPECT_TRUE(has(" absolute photometry (lumens per lamp -1): intensities per klm of the"));
    EXPECT_TRUE(has(" total flux (lm)   903"));
    EXPECT_TRUE(has(" Ballast-lamp photometric factor    1.0000"));  // an LM-63-1995 file
}

}  // namespace
}  // namespace vl
