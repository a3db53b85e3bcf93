// The IES LM-63 reader: the public files and their Eulumdat twins, the orientation rule,
// and synthetic files for the layouts, symmetry sets, factors and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "readers/photometry_file.hpp"
#include "readers/photometry_tools.hpp"
#include "readers/read_error.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

const fs::path kIes = fs::path(VL_TEST_DATA_DIR) / "ies";

struct Outcome {
    int status = 0;  // 0 read, 1 refused, 2 read error
    std::string message;
    IesFile file;
};

Outcome readFile(const fs::path& path, double rotation = kDefaultIesRotation) {
    Outcome out;
    try {
        readIes(path.string(), out.file, rotation);
    } catch (const InputRefusal& e) {
        out.status = 1;
        out.message = e.what();
    } catch (const ReadError& e) {
        out.status = 2;
        out.message = e.what();
    }
    return out;
}

Outcome readText(const std::string& text, double rotation = kDefaultIesRotation) {
    test::ScratchDir dir;
    dir.write("t.ies", text);
    return readFile(dir.path() / "t.ies", rotation);
}

PhotometryTable readLdt(const fs::path& path) {
    EulumdatFile file;
    readEulumdat(path.string(), file);
    return file.table;
}

double lampFlux(const PhotometryTable& t) { return t.declared.lampSets.back().totalFlux; }

// A synthetic type C file of f(H, V) candelas.
struct Synthetic {
    std::string head = "IESNA:LM-63-2002\n[TEST] T1\n[MANUFAC] Maker\n[MORE] second line\nTILT=NONE\n";
    std::string counts = "1 1000 1";  // lamps, lumens, multiplier
    std::string factors = "1 1 50";    // ballast factor, second field, watts
    std::vector<double> vertical;
    std::vector<double> horizontal;
    std::function<double(double, double)> candela = [](double h, double v) {
        return (1000.0 - 5.0 * v) * (1.0 + 0.3 * std::cos(2.0 * h * 3.141592653589793 / 180.0));
    };
    std::string separator = " ";

    std::string text() const {
        std::string t = head + counts + " " + std::to_string(vertical.size()) + " " + std::to_string(horizontal.size()) +
                        " 1 2 0.1 0.2 0.05\n" + factors + "\n";
        const auto list = [&](const std::vector<double>& values) {
            for (double x : values) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%.3f", x);
                t += buffer + separator;
            }
            t += "\n";
        };
        list(vertical);
        list(horizontal);
        for (double h : horizontal) {
            std::vector<double> plane;
            for (double v : vertical) plane.push_back(candela(h, v));
            list(plane);
        }
        return t;
    }
};

std::vector<double> steps(double from, double to, double step) {
    std::vector<double> v;
    for (double x = from; x <= to + 1e-9; x += step) v.push_back(x);
    return v;
}

// ---------------------------------------------------------------- public files

TEST(IesFiles, EveryFileReadsOrIsRefusedWithItsReason) {
    const std::map<std::string, std::pair<int, std::string>> refused = {
        {"bad_mdl_type_b_format_error.ies", {2, "line 3: expected the number of lamps (an integer), found \"file\""}},
        {"mdl_type_b.ies", {1, "line 3: photometric type B (2) is not read"}},
        {"indoor_ovni_single_h_multiplier.ies", {1, "line 12: the number of vertical angles 361 is outside 2..200"}},
        {"interlab_ipt_head.ies", {1, "line 3: the number of vertical angles 263 is outside 2..200"}},
        {"outdoor_roadway_head.ies", {1, "line 18: the number of vertical angles 361 is outside 2..200"}},
    };
    int read = 0;
    for (const fs::path& folder : {kIes, kIes / "derived"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".ies") continue;
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            EXPECT_EQ(detectPhotometryFormat(entry.path().string()), PhotometryFormat::Ies);
            const Outcome out = readFile(entry.path());
            const auto expected = refused.find(name);
            if (expected != refused.end()) {
                EXPECT_EQ(out.status, expected->second.first);
                EXPECT_NE(out.message.find(expected->second.second), std::string::npos) << out.message;
                EXPECT_NE(out.message.find(entry.path().string()), std::string::npos) << out.message;
                continue;
            }
            ASSERT_EQ(out.status, 0) << out.message;
            ++read;
            const PhotometryTable& t = out.file.table;
            const PhotometryDimensions dims = readIesDimensions(entry.path().string());
            EXPECT_EQ(dims.cPlanes + 1, t.cCount);
            EXPECT_EQ(dims.gammaAngles, t.gammaCount);
            EXPECT_EQ(t.cAngles.front(), 0.0);
            EXPECT_EQ(t.cAngles.back(), 360.0);
            for (int j = 0; j < t.gammaCount; ++j) EXPECT_EQ(t.I(t.cCount - 1, j), t.I(0, j));
            // cd/klm of lamp flux: the table's flux is the luminaire's share of 1000 lm.
            EXPECT_NEAR(integrateFlux(t).total(), 10.0 * t.declared.lightOutputRatio, 1e-9 * lampFlux(t));
        }
    }
    EXPECT_EQ(read, 20);
}

// Each pair holds the same candelas (converted by a tool that kept C = H): the tables in
// cd agree to the files' rounding once each is scaled by its own lamp flux (for absolute
// photometry the IES flux is the integrated one, 321.1 lm where the twin declares 321).
TEST(IesFiles, TwinsGiveTheCandelasOfTheirEulumdatFiles) {
    for (const auto& entry : fs::directory_iterator(kIes / "pairs")) {
        const std::string base = entry.path().stem().string();
        SCOPED_TRACE(base);
        const Outcome ies = readFile(kIes / (base + ".ies"), 0.0);
        ASSERT_EQ(ies.status, 0) << ies.message;
        const PhotometryTable ldt = readLdt(entry.path());
        const PhotometryTable& t = ies.file.table;
        // Half a unit of the coarsest printed digit (0.1 cd).
        EXPECT_LE(test::largestDifference(t, ldt, lampFlux(t) / 1000.0, lampFlux(ldt) / 1000.0), 0.05 + 1e-6);
    }
    // The converter that made the symmetric twins dropped the 60 lamps: per klm of the
    // 1 x 102.52 lm the IES head declares, the table is 60 times the Eulumdat one.
    const PhotometryTable isym2 = readFile(kIes / "luxpy_isym2_h0-180.ies", 0.0).file.table;
    EXPECT_NEAR(isym2.I(0, 0) / readLdt(kIes / "pairs" / "luxpy_isym2_h0-180.ldt").I(0, 0), 6151.0 / 102.52, 0.01);
}

// The same street optic, once with its street side at H = 0 (IES road practice) and once
// at H = 90: each read with its own rotation gives one table, street side at C = 90.
TEST(IesFiles, OrientationCopiesAgreeUnderTheirOwnRotation) {
    const Outcome iesna = readFile(kIes / "maxwell_t4_street_iesna_orient.ies");
    const Outcome cie = readFile(kIes / "maxwell_t4_street_cie_orient.ies", 0.0);
    ASSERT_EQ(iesna.status + cie.status, 0);
    EXPECT_EQ(iesna.file.table.cAngles, cie.file.table.cAngles);
    EXPECT_EQ(iesna.file.table.intensity, cie.file.table.intensity);
    const PhotometryTable& t = iesna.file.table;
    EXPECT_GT(t.I(18, 70), 4.0 * t.I(54, 70));  // C = 90 (street) against C = 270 at gamma 70
}

TEST(IesFiles, HeadsVersionsTiltAndUnits) {
    const IesHeader tilt = readFile(kIes / "tilt_include_synthetic.ies").file.header;
    EXPECT_EQ(tilt.version, IesVersion::Lm63_2002);
    ASSERT_TRUE(tilt.tilt.included);
    EXPECT_EQ(tilt.tilt.lampToLuminaireGeometry, 1);
    EXPECT_EQ(tilt.tilt.angles, (std::vector<double>{0.0, 45.0, 90.0, 180.0}));
    EXPECT_EQ(tilt.tilt.factors, (std::vector<double>{1.0, 0.9, 0.8, 1.0}));
    // The factors are kept, not applied: 1000 cd at the nadir per 1000 lm.
    EXPECT_EQ(readFile(kIes / "tilt_include_synthetic.ies").file.table.I(7, 0), 1000.0);

    const IesHeader more = readFile(kIes / "pv_label_lines_more.ies").file.header;
    EXPECT_EQ(more.keyword("multiline")->value, "Test multiline metadata\nShould contain three lines\nDivided by LF characters");
    EXPECT_EQ(more.identification(), "ACME Inc.");

    const IesFile old = readFile(kIes / "luxpy_noversion_feet_h0-90.ies").file;
    EXPECT_EQ(old.header.version, IesVersion::Lm63_1986);
    EXPECT_EQ(old.header.labelLines.size(), 7u);
    EXPECT_EQ(old.header.metres(old.header.length), 4 * 0.3048);
    EXPECT_EQ(readFile(kIes / "mdl_iesna91_one_value_per_line.ies").file.header.version, IesVersion::Lm63_1991);

    // Absolute photometry: per klm of the integrated flux (903.5 lm by an independent
    // quadrature); the multiplier then cancels, while a relative file keeps it.
    const IesFile dummy = readFile(kIes / "pv_dummy_absolute.ies").file;
    EXPECT_NEAR(dummy.header.luminaireFlux, 903.5, 0.05);
    EXPECT_EQ(dummy.table.declared.lampSets.back().lampCount, "-1");
    EXPECT_NEAR(integrateFlux(dummy.table).total(), 1000.0, 1e-9);
    const PhotometryTable times = readFile(kIes / "pv_absolute_multiplier.ies").file.table;
    EXPECT_LT(test::largestDifference(dummy.table, times), 1e-9);
    const PhotometryTable relative = readFile(kIes / "pv_relative_multiplier.ies").file.table;
    EXPECT_NEAR(relative.I(0, 0), 2200.0 * 1.5 * 1000.0 / 500.0, 1e-9);
    // Feet change the luminous opening, not the intensities.
    const IesFile feet = readFile(kIes / "pv_imperial_units.ies").file;
    EXPECT_EQ(feet.header.metres(feet.header.width), 0.12 * 0.3048);
    EXPECT_EQ(feet.table.intensity, dummy.table.intensity);
}

// ---------------------------------------------------------------- synthetic files

// One quadrant-symmetric luminaire written with each horizontal set of type C completes
// to one table; turning by R moves it by R.
TEST(IesSynthetic, HorizontalSetsCompleteToOneTable) {
    Synthetic s;
    s.vertical = steps(0.0, 180.0, 10.0);
    s.horizontal = steps(0.0, 360.0, 15.0);
    const Outcome full = readText(s.text(), 0.0);
    ASSERT_EQ(full.status, 0) << full.message;
    for (const auto& [from, to] : {std::pair{0.0, 90.0}, {0.0, 180.0}, {90.0, 270.0}, {0.0, 345.0}}) {
        s.horizontal = steps(from, to, 15.0);
        const Outcome part = readText(s.text(), 0.0);
        ASSERT_EQ(part.status, 0) << part.message;
        EXPECT_EQ(part.file.table.cAngles, full.file.table.cAngles) << from << ".." << to;
        EXPECT_LT(test::largestDifference(part.file.table, full.file.table), 1e-9) << from << ".." << to;
    }
    s.horizontal = {0.0};
    const Outcome round = readText(s.text(), 33.0);
    EXPECT_EQ(round.file.table.cCount, 25);
    EXPECT_EQ(round.file.table.cStep, 15.0);

    s.horizontal = steps(0.0, 360.0, 15.0);
    const PhotometryTable smooth = readText(s.text(), 0.0).file.table;
    s.candela = [](double h, double v) { return 100.0 + h + v; };
    const PhotometryTable plain = readText(s.text(), 0.0).file.table;
    const PhotometryTable turned = readText(s.text(), 90.0).file.table;
    EXPECT_EQ(turned.I(6, 3), plain.I(0, 3));   // C = 90 holds H = 0
    EXPECT_EQ(turned.I(0, 3), plain.I(18, 3));  // C = 0 holds H = 270
    // A turn that lands no plane on C = 0 interpolates one there and keeps the light.
    s.candela = Synthetic().candela;
    const Outcome odd = readText(s.text(), 7.5);
    EXPECT_TRUE(odd.file.header.interpolatedPlane);
    EXPECT_EQ(odd.file.table.cCount, 26);
    EXPECT_NEAR(odd.file.table.I(0, 3), (smooth.I(23, 3) + smooth.I(0, 3)) / 2.0, 1e-9);
    EXPECT_NEAR(integrateFlux(odd.file.table).total(), integrateFlux(smooth).total(),
                1e-3 * integrateFlux(smooth).total());
}

// Line breaks, commas and CR LF anywhere after TILT= read the same numbers; a file that
// starts at 90 deg has no light below the horizontal.
TEST(IesSynthetic, LayoutsAndVerticalSets) {
    Synthetic s;
    s.vertical = steps(0.0, 90.0, 5.0);
    s.horizontal = steps(0.0, 180.0, 30.0);
    const PhotometryTable plain = readText(s.text()).file.table;
    for (const std::string sep : {"\n", ",", " ,\t", "crlf"}) {
        s.separator = sep == "crlf" ? "\n" : sep;
        std::string text = s.text();
        if (sep == "crlf") {
            for (std::size_t k = text.find('\n'); k != std::string::npos; k = text.find('\n', k + 2)) text.insert(k, "\r");
        }
        const Outcome out = readText(text);
        ASSERT_EQ(out.status, 0) << out.message;
        EXPECT_EQ(out.file.table.intensity, plain.intensity);
        EXPECT_EQ(out.file.header.keywords.size(), 2u);
    }
    s.separator = " ";
    s.vertical = steps(90.0, 180.0, 5.0);
    const PhotometryTable up = readText(s.text()).file.table;
    EXPECT_EQ(up.gammaAngles.front(), 0.0);
    EXPECT_EQ(up.gammaAngles[1], 85.0);
    for (int i = 0; i < up.cCount; ++i) EXPECT_EQ(up.I(i, 0) + up.I(i, 1), 0.0);
}

// Ballast factor and, before 2002, the ballast-lamp photometric factor multiply the
// candelas; the 2002 field for future use and the 2019 file generation type do not.
TEST(IesSynthetic, FactorsAsTheirVersionDefinesThem) {
    Synthetic s;
    s.vertical = steps(0.0, 90.0, 30.0);
    s.horizontal = {0.0};
    const double base = readText(s.text()).file.table.I(0, 0);
    const auto nadir = [&](const std::string& version, const std::string& factors) {
        s.head = version + "\nTILT=NONE\n";
        s.factors = factors;
        return readText(s.text()).file.table.I(0, 0) / base;
    };
    EXPECT_EQ(nadir("IESNA:LM-63-2002", "0.5 1 50"), 0.5);
    EXPECT_EQ(nadir("IESNA:LM-63-2002", "1 0.5 50"), 1.0);
    EXPECT_EQ(nadir("IES:LM-63-2019", "1 1.00001 50"), 1.0);
    EXPECT_EQ(nadir("IESNA:LM-63-1995", "1 0.5 50"), 0.5);
    EXPECT_EQ(nadir("IESNA91", "0.5 0.5 50"), 0.25);
    s.factors = "1 1 50";
    s.counts = "2 500 2";  // two lamps of 500 lm, candelas doubled
    EXPECT_EQ(readText(s.text()).file.table.I(0, 0) / base, 2.0);
}

TEST(IesSynthetic, RefusalsAndReadErrorsNameFileLineAndCause) {
    Synthetic s;
    s.vertical = {0.0, 45.0, 90.0};
    s.horizontal = {0.0, 90.0};
    const std::string good = s.text();
    const auto with = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    struct Case {
        std::string text;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {with("TILT=NONE", "TILT=lamp.tlt"), 1, "line 5: TILT=lamp.tlt: a separate tilt file is not read"},
        {with("3 2 1 2", "3 2 3 2"), 1, "line 6: photometric type A (3)"},
        {with("3 2 1 2", "3 2 7 2"), 1, "photometric type 7 is none of"},
        {with("3 2 1 2", "201 2 1 2"), 1, "line 6: the number of vertical angles 201 is outside 2..200"},
        {with("3 2 1 2", "3 0 1 2"), 1, "the number of horizontal angles 0 is outside 1..200"},
        {with("3 2 1 2", "3 2 1 3"), 1, "the units type 3 is neither 1 (feet) nor 2 (metres)"},
        {with("1 1000 1", "1 0 1"), 1, "lumens per lamp 0.0 are neither positive nor -1"},
        {with("1 1000 1", "1 1000 0"), 1, "the candela multiplier 0.0 is not positive"},
        {with("1 1 50", "0 1 50"), 1, "line 7: the ballast factor 0.0 is not positive"},
        {with("45.000", "0.000"), 1, "line 8: the vertical angles must ascend strictly (0.0 follows 0.0)"},
        {with("90.000 \n1", "120.000 \n1"), 1, "the horizontal angles 0.0 to 120.0 are no set of type C"},
        {with("0.000 45.000 90.000", "10.000 45.000 90.000"), 1, "the vertical angles 10.0 to 90.0 are no set"},
        {"IESNA:LM-63-2077\nTILT=NONE\n", 1, "line 1: the version line \"IESNA:LM-63-2077\" names none of"},
        {with("TILT=NONE", "TILT=INCLUDE\n1 0"), 1, "the number of tilt angles and factors 0 is outside 1..200"},
        {with("TILT=NONE", "LILT=NONE"), 2, "expected the TILT= line, found the end of the file"},
        {with("1 1 50", "1 x 50"), 2, "line 7: expected the field for future use (a number), found \"x\""},
        {good.substr(0, good.size() - 10), 2, "expected the candela values, found the end of the file"},
    };
    for (const Case& c : cases) {
        const Outcome out = readText(c.text);
        EXPECT_EQ(out.status, c.status) << c.message;
        EXPECT_NE(out.message.find(c.message), std::string::npos) << out.message;
        EXPECT_NE(out.message.find("t.ies"), std::string::npos) << out.message;
        EXPECT_NE(out.file.progress, IesProgress::Complete);
    }
}

TEST(PhotometryFormat, ToldByContent) {
    test::ScratchDir dir;
    dir.write("a.ldt", "IESNA:LM-63-2002\n");
    dir.write("b.txt", "ies:lm-63-2019\n");
    dir.write("c", "\xEF\xBB\xBFIESNA91\n");
    dir.write("d.ies", "label\nanother label\n tilt=none\n");
    dir.write("e.ies", "Maker\n1\n0\n");
    for (const char* name : {"a.ldt", "b.txt", "c", "d.ies"}) {
        EXPECT_EQ(detectPhotometryFormat(name), PhotometryFormat::Ies) << name;
    }
    EXPECT_EQ(detectPhotometryFormat("e.ies"), PhotometryFormat::Eulumdat);
    EXPECT_EQ(detectPhotometryFormat("missing"), PhotometryFormat::Eulumdat);
    EXPECT_FALSE(fs::exists("missing"));

    dir.copyTestData("ldt/sample1.ldt", "s.ldt");
    dir.copyTestData("ies/luxpy_test_lid_file_h0-90.ies", "s.ies");
    const PhotometrySize ldt = readPhotometryDimensions("s.ldt");
    const PhotometrySize ies = readPhotometryDimensions("s.ies");
    EXPECT_EQ(ldt.format, PhotometryFormat::Eulumdat);
    EXPECT_EQ(ies.format, PhotometryFormat::Ies);
    EXPECT_EQ(ies.dimensions.cPlanes, 144);  // 37 planes 0..90 mirrored over the turn
    EXPECT_EQ(ies.dimensions.gammaAngles, 91);
    PhotometryFile file;
    readPhotometryFile("s.ldt", file);
    EXPECT_EQ(file.table().cCount, ldt.dimensions.cPlanes + 1);
}

}  // namespace
}  // namespace vl
