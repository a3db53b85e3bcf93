// The convert command: round trips between the formats, the emission data of a file and
// of its conversion, and the statuses of files that cannot be converted.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/convert.hpp"
#include "core/photometry/emission.hpp"
#include "readers/photometry_file.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

PhotometryTable read(const std::string& name, double rotation = kDefaultIesRotation) {
    PhotometryFile file;
    readPhotometryFile(name, file, rotation);
    return file.table();
}

ConvertResult convert(const std::string& in, const std::string& out, double rotation = kDefaultIesRotation) {
    const ConvertResult r = convertPhotometry(in, out, rotation);
    EXPECT_EQ(r.status, 0) << (r.out.empty() ? "" : r.out.front()) << (r.err.empty() ? "" : r.err.front());
    return r;
}

// The emission figures of a table as read (tilt 0), as the report prints them.
std::vector<std::string> emission(const PhotometryTable& t) {
    const EmissionResult e = computeEmission(t, t.intensity);
    std::vector<std::string> figures;
    for (const EmissionFigures& f : {e.declared, e.calculated}) {
        for (double v : {f.downwardFluxFactor, f.upwardFluxFactor, f.lightOutputRatio, f.downwardLightOutputRatio,
                         f.upwardLightOutputRatio}) {
            figures.push_back(fmt::F(v, 7, 2));
        }
    }
    figures.push_back(fmt::F(e.downwardLightOutputRatio, 7, 2));
    return figures;
}

TEST(Convert, RoundTripsKeepTheTableAndTheEmissionData) {
    test::ScratchDir dir;
    dir.copyTestData("ies/aec_italo1_street_absolute.ies", "street.ies");
    dir.copyTestData("ies/maxwell_t4_street_iesna_orient.ies", "t4.ies");
    dir.copyTestData("ies/luxpy_isym3_h90-270.ies", "isym3.ies");
    dir.copyTestData("ldt/road_luminaire.ldt", "road.ldt");  // C planes not equally spaced

    for (const char* name : {"street", "t4", "isym3"}) {
        SCOPED_TRACE(name);
        const std::string ies = std::string(name) + ".ies";
        const ConvertResult r = convert(ies, std::string(name) + ".ldt");
        ASSERT_EQ(r.out.size(), 1u);
        EXPECT_EQ(r.out.front(), ies + " (IES LM-63-" + (name == std::string("street") ? "2002" : "1995") +
                                     ") converted to " + name + ".ldt (Eulumdat), C = H + 90.0 deg");
        convert(std::string(name) + ".ldt", std::string(name) + "_back.ies");
        const PhotometryTable original = read(ies);
        const PhotometryTable ldt = read(std::string(name) + ".ldt");
        EXPECT_LE(test::largestDifference(original, ldt), 0.0005 + 1e-9);
        EXPECT_LE(test::largestDifference(original, read(std::string(name) + "_back.ies")), 0.002);
        // The run integrates the same light from either file.
        EXPECT_EQ(emission(original), emission(ldt));
    }
    // An absolute full-sphere file: every lumen of the luminaire counts, LORL = 100 %.
    const PhotometryTable street = read("street.ies");
    const EmissionResult e = computeEmission(street, street.intensity);
    EXPECT_NEAR(e.effective.lightOutputRatio, 100.0, 1e-6);
    EXPECT_NEAR(e.effective.downwardFluxFactor, street.declared.downwardFluxFactor, 1e-6);

    convert("road.ldt", "road.ies");
    convert("road.ies", "road_back.ldt");
    EXPECT_LE(test::largestDifference(read("road.ldt"), read("road_back.ldt")), 0.0005 + 1e-9);
    EXPECT_EQ(read("road.ies", 90.0).cAngles, read("road.ldt").cAngles);
}

TEST(Convert, HeadFieldsCarryOver) {
    test::ScratchDir dir;
    dir.copyTestData("ies/pv_imperial_units.ies", "feet.ies");
    convert("feet.ies", "feet.ldt");
    const std::vector<std::string> ldt = test::readLines("feet.ldt");
    ASSERT_GT(ldt.size(), 30u);
    EXPECT_EQ(ldt[0], "ACME Inc.\r");
    EXPECT_EQ(ldt[8], "Dummy IES file.\r");
    // 0.12 ft across and 0.34 ft along H 0-180, which lies on C 90-270 (R = 90), in mm.
    EXPECT_EQ(std::vector<std::string>(ldt.begin() + 12, ldt.begin() + 15),
              (std::vector<std::string>{"36.6\r", "103.6\r", "170.7\r"}));
    EXPECT_EQ(ldt[26], "-1\r");  // absolute photometry: a negative number of lamps

    convert("feet.ldt", "again.ies");
    const std::string ies = test::readFile("again.ies");
    EXPECT_NE(ies.find("[MANUFAC] ACME Inc.\r\n"), std::string::npos);
    EXPECT_NE(ies.find("[LAMP] Generic 15W LED module\r\n"), std::string::npos);
    EXPECT_NE(ies.find("\r\n1 -1.0 1.0 37 1 1 2 0.0366 0.1036 0.1707\r\n"), std::string::npos) << ies.substr(0, 400);
}

TEST(Convert, StatusesOfWhatCannotBeConverted) {
    test::ScratchDir dir;
    dir.copyTestData("ies/mdl_type_b.ies", "b.ies");
    dir.copyTestData("ies/pv_dummy_absolute.ies", "a.ies");

    ConvertResult r = convertPhotometry("a.ies", "a.txt", 90.0);
    EXPECT_EQ(r.status, 64);
    EXPECT_EQ(convertPhotometry("a.ies", "./a.ies", 90.0).status, 64);
    EXPECT_EQ(convertPhotometry("a.ies", "a.ldt", std::nan("")).status, 64);

    r = convertPhotometry("none.ies", "none.ldt", 90.0);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (std::vector<std::string>{"vesperluminal: file \"none.ies\": cannot be opened (no such file)"}));
    EXPECT_FALSE(fs::exists("none.ies"));

    r = convertPhotometry("b.ies", "b.ldt", 90.0);
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.out.size(), 1u);
    EXPECT_EQ(r.out.front().substr(0, 26), " IES file b.ies, line 3: p");
    EXPECT_FALSE(fs::exists("b.ldt"));
    EXPECT_FALSE(fs::exists("b.ldt.tmp"));

    dir.write("cut.ies", "IESNA:LM-63-2002\nTILT=NONE\n1 -1 1 3 1 1 2 0 0 0\n1 1 1\n0 45 90\n0\n5 4\n");
    r = convertPhotometry("cut.ies", "cut.ldt", 90.0);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.front(), "vesperluminal: file \"cut.ies\": line 8: expected the candela values, found the end of the file (the file has 7 lines)");

    fs::create_directory("out.ldt");
    EXPECT_EQ(convertPhotometry("a.ies", "out.ldt", 90.0).status, 2);
}

}  // namespace
}  // namespace vl
