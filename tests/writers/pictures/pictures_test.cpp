#include "writers/pictures/pictures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>

#include "writers/pictures/picture_check.hpp"
#include "writers/pictures/synthetic_pictures.hpp"

namespace vl::pictures {
namespace {

using test::svgTexts;
using test::textsOf;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

#define SKIP_WITHOUT_PYTHON() \
    if (test::toolMissing("python3")) GTEST_SKIP() << "python3 is missing: the SVG files are not parsed"

bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Mean CIE L* of the colour-scale pixels along a row or a column of the picture, in order.
std::vector<double> scaleLightness(const test::Pixels& p, bool alongRow, int at) {
    std::vector<double> out;
    const int n = alongRow ? p.width : p.height;
    for (int k = 0; k < n; ++k) {
        const Rgb& c = alongRow ? p.at(k, at) : p.at(at, k);
        if (test::viridisIndex(c, 0.004) >= 0) out.push_back(lightness(c));
    }
    return out;
}

double meanOf(std::vector<double>::const_iterator from, std::vector<double>::const_iterator to) {
    double sum = 0;
    for (auto it = from; it != to; ++it) sum += *it;
    return sum / static_cast<double>(to - from);
}

MapPicture planeMap(double slopeX, double slopeY) {
    MapPicture map = test::roadMap("Plane <x & y>", "cd/m\u00b2", test::roadGrid(40, 10, [&](double x, double y) {
                                       return slopeX * x + slopeY * y;
                                   }));
    map.title.push_back("average \"A\" & 'B'");
    return map;
}

TEST(MapPicture, LabelsItsRoundLevelsAndLaysTheFieldOutAlongTheRoad) {
    // values = x: the levels of 0.3 .. 23.7 are 5, 10, 15, 20, one vertical isoline each.
    const MapPicture map = planeMap(1, 0);
    const std::vector<Image> images = drawMap(map, {ImageFormat::Png, ImageFormat::Svg});
    const auto pixels = test::decodePng(images[0].bytes);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->width, images[0].width);
    EXPECT_EQ(pixels->height, images[0].height);
    // Across a row the colour gets lighter from x = 0 to x = spacing; down a column
    // (y across the road) it stays the same.
    const auto row = scaleLightness(*pixels, true, pixels->height / 2);
    ASSERT_GT(row.size(), 300u);
    const auto fifth = static_cast<std::ptrdiff_t>(row.size() / 5);
    EXPECT_LT(meanOf(row.begin(), row.begin() + fifth) + 40, meanOf(row.end() - fifth, row.end()));

    const MapPicture across = planeMap(0, 1);
    const auto pixelsAcross = test::decodePng(drawMap(across, ImageFormat::Png).bytes);
    ASSERT_TRUE(pixelsAcross);
    const auto column = scaleLightness(*pixelsAcross, false, pixelsAcross->width / 2);
    ASSERT_GT(column.size(), 100u);
    // Page y grows downwards, road y upwards: the top of the road is the light end.
    const auto part = static_cast<std::ptrdiff_t>(column.size() / 5);
    EXPECT_GT(meanOf(column.begin(), column.begin() + part), meanOf(column.end() - part, column.end()) + 40);

    SKIP_WITHOUT_PYTHON();
    const auto texts = svgTexts(images[1]);
    ASSERT_TRUE(texts) << "the SVG does not parse as XML";
    const auto labels = textsOf(*texts, "isoline");
    EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()), (std::set<std::string>{"5", "10", "15", "20"}));
    EXPECT_TRUE(contains(textsOf(*texts, "colour-bar"), "20"));
    EXPECT_EQ(textsOf(*texts, "unit"), std::vector<std::string>{"cd/m\u00b2"});
    EXPECT_EQ(textsOf(*texts, "title"), std::vector<std::string>{"Plane <x & y>"});
    EXPECT_TRUE(contains(textsOf(*texts, "title-line"), "average \"A\" & 'B'"));
    EXPECT_TRUE(textsOf(*texts, "note").empty());
    EXPECT_EQ(textsOf(*texts, "#image"), std::vector<std::string>{"1"});  // the colour field
}

TEST(MapPicture, DegenerateMapsGiveOneColourANoteAndNoIsoline) {
    struct Case {
        const char* name;
        std::function<double(double, double)> value;
        std::string note;
        bool oneColour;
        bool isolines;
    };
    const std::vector<Case> cases = {
        {"constant", [](double, double) { return 1.5; }, "Constant map: every value is 1.5 cd/m\u00b2.", true, false},
        {"zero", [](double, double) { return 0.0; }, "Every value is zero.", true, false},
        {"not a number", [](double, double) { return kNaN; }, "No finite value: nothing to map.", false, false},
        {"infinite", [](double, double) { return kInf; }, "No finite value: nothing to map.", false, false},
        {"a hole", [](double x, double y) { return x > 10 && x < 14 && y > 3 ? kNaN : x; },
         "6 of 60 values are not finite (hatched).", false, true},
        {"a hole in a constant", [](double x, double) { return x > 10 && x < 14 ? -kInf : 2.0; },
         "12 of 60 values are not finite (hatched). The others are 2 cd/m\u00b2.", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MapPicture map = test::roadMap("Degenerate", "cd/m\u00b2", test::roadGrid(10, 6, c.value), 1.75);
        EXPECT_EQ(mapNote(map), c.note);
        const std::vector<Image> images = drawMap(map, {ImageFormat::Png, ImageFormat::Svg});
        const auto pixels = test::decodePng(images[0].bytes);
        ASSERT_TRUE(pixels);
        if (c.oneColour) {
            // Left of the colour bar the field is one shade (a neighbouring shade only at the
            // soft edges of grid points and lines).
            std::map<int, int> field;
            int count = 0;
            for (int y = 0; y < pixels->height; ++y) {
                for (int x = 0; x < 800; ++x) {
                    if (const int k = test::viridisIndex(pixels->at(x, y), 0.004); k >= 0) ++field[k], ++count;
                }
            }
            ASSERT_GT(count, 50000);
            const auto top = std::max_element(field.begin(), field.end(), [](auto& a, auto& b) { return a.second < b.second; });
            EXPECT_GT(top->second, 0.99 * count);
        }
        if (test::toolMissing("python3")) continue;
        const auto texts = svgTexts(images[1]);
        ASSERT_TRUE(texts);
        EXPECT_EQ(textsOf(*texts, "isoline").empty(), !c.isolines);
        EXPECT_EQ(textsOf(*texts, "note"), std::vector<std::string>{c.note});
    }
    // Grids without a cell: empty, one node, one row; values that do not fit the grid.
    MapPicture map = test::roadMap("Degenerate", "lx", test::roadGrid(10, 6, [](double x, double) { return x; }));
    const std::string misfit = "The grid coordinates do not fit the values: nothing to map.";
    const std::vector<std::pair<ScalarGrid, std::string>> grids = {
        {ScalarGrid{}, "Empty map: no values."},
        {ScalarGrid{{3}, {2}, {7}}, "Constant map: every value is 7 lx."},
        {ScalarGrid{{1, 2, 3}, {2}, {1, 2, 3}}, ""},
        {ScalarGrid{{1, 2}, {1, 2}, {1, 2, 3}}, misfit},
        {ScalarGrid{{2, 1}, {1, 2}, {1, 2, 3, 4}}, misfit},
    };
    for (const auto& [grid, note] : grids) {
        map.field = grid;
        EXPECT_EQ(mapNote(map), note);
        EXPECT_TRUE(test::decodePng(drawMap(map, ImageFormat::Png).bytes));
        EXPECT_FALSE(drawMap(map, ImageFormat::Svg).bytes.empty());
    }
}

TEST(MapPicture, AFixedRangeDrawsTwoMapsOnOneScale) {
    MapPicture a = planeMap(0.05, 0), b = planeMap(0.1, 0);
    SKIP_WITHOUT_PYTHON();
    auto bar = [](const MapPicture& m) { return textsOf(*svgTexts(drawMap(m, ImageFormat::Svg)), "colour-bar"); };
    EXPECT_NE(bar(a), bar(b));
    a.fixedRange = b.fixedRange = Range{0, 2.5};
    EXPECT_EQ(bar(a), bar(b));
    EXPECT_EQ(bar(a).back(), "2.5");
}

TEST(PolarAndChart, TextsOfTheSheetAndTheChart) {
    SKIP_WITHOUT_PYTHON();
    // A luminaire without light above the horizontal: lower halves only, no 180 deg spoke.
    const auto flat = svgTexts(drawPolarSheet(test::streetLuminaireSheet(0), ImageFormat::Svg));
    ASSERT_TRUE(flat);
    EXPECT_EQ(textsOf(*flat, "panel-title"), (std::vector<std::string>{"as read", "as tilted"}));
    EXPECT_EQ(textsOf(*flat, "legend"),
              (std::vector<std::string>{"C0\u2013C180", "C90\u2013C270", "plane of maximum intensity"}));
    EXPECT_FALSE(contains(textsOf(*flat, "angle"), "180\u00b0"));
    EXPECT_TRUE(contains(textsOf(*flat, "ring"), "300"));  // the peak of about 390 cd/klm
    EXPECT_TRUE(contains(textsOf(*flat, "half-plane"), "C0 / C90 (street) \u2192"));
    // Tilted by 10 deg, light reaches above the horizontal: whole circles.
    const auto tilted = svgTexts(drawPolarSheet(test::streetLuminaireSheet(10), ImageFormat::Svg));
    ASSERT_TRUE(tilted);
    EXPECT_TRUE(contains(textsOf(*tilted, "angle"), "180\u00b0"));

    CurveChart chart = test::elevationChart();
    chart.series[0].y[3] = kNaN;
    const auto texts = svgTexts(drawCurveChart(chart, ImageFormat::Svg));
    ASSERT_TRUE(texts);
    EXPECT_EQ(textsOf(*texts, "axis-title"),
              (std::vector<std::string>{"elevation above the horizontal (\u00b0)", "intensity (cd)"}));
    EXPECT_EQ(textsOf(*texts, "legend"), (std::vector<std::string>{"road (reflected)", "luminaire (direct)", "total"}));
    EXPECT_EQ(textsOf(*texts, "note"), std::vector<std::string>{"1 points without a finite value are left out."});
    EXPECT_TRUE(contains(textsOf(*texts, "axis"), "90"));
}

TEST(PictureSet, WritesEachPictureTwiceAndNamesWhatCannotBeWritten) {
    test::TempFolder folder;
    auto run = test::syntheticRun(12, 6);
    const auto written = writePictures(run, folder.path() / "plots" / "run1");
    ASSERT_EQ(written.size(), run.size());
    for (std::size_t k = 0; k < run.size(); ++k) {
        EXPECT_EQ(written[k].name, run[k].name);
        const auto png = folder.path() / "plots" / "run1" / (run[k].name + ".png");
        std::ifstream in(png, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto pixels = test::decodePng(bytes);
        ASSERT_TRUE(pixels) << png;
        EXPECT_EQ(pixels->width, written[k].width);
        EXPECT_TRUE(std::filesystem::file_size(folder.path() / "plots" / "run1" / (run[k].name + ".svg")) > 1000);
    }
    // A folder below a file cannot be created.
    writeBytes("x", folder.path() / "file");
    try {
        writePictures(run, folder.path() / "file" / "plots");
        ADD_FAILURE() << "no error";
    } catch (const PictureFileError& e) {
        EXPECT_EQ(e.file(), (folder.path() / "file" / "plots").string());
        EXPECT_EQ(e.kind(), "cannot be created");
    }
    // A picture whose file name is taken by a folder: named, and the others are written.
    std::filesystem::create_directories(folder.path() / "taken" / "polar_intensity.svg");
    try {
        writePictures(run, folder.path() / "taken", 1);
        ADD_FAILURE() << "no error";
    } catch (const PictureFileError& e) {
        EXPECT_EQ(e.file(), (folder.path() / "taken" / "polar_intensity.svg").string());
    }
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "taken" / "curve_upward_intensity.svg"));
}

}  // namespace
}  // namespace vl::pictures
