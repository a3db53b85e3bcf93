// The JSON results file against the report it sits beside: every number of the road
// lighting, energy and light pollution sections is the JSON value rounded as the report
// rounds it; non-finite figures are null with their path listed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl {
namespace {

using Json = nlohmann::json;
using test::runProgram;

// The numbers of a report line, as written: the blank-separated items that read as numbers
// once commas, colons and brackets are taken as separators. The observers' names are labels.
std::vector<std::string> numbersOf(std::string line) {
    for (const std::string label : {"observer 1", "observer 2"}) {
        for (auto at = line.find(label); at != std::string::npos; at = line.find(label)) line.erase(at, label.size());
    }
    for (char& c : line) {
        if (c == ',' || c == ':' || c == '(' || c == ')') c = ' ';
    }
    std::vector<std::string> found;
    std::istringstream items(line);
    for (std::string item; items >> item;) {
        const bool nonFinite = item == "NaN" || item == "Infinity" || item == "-Infinity" || item == "Inf" || item == "-Inf";
        const bool plain = item.find_first_not_of("-0123456789.") == std::string::npos;
        if (nonFinite || (plain && parseReal(item))) found.push_back(item);
    }
    return found;
}

int decimalsOf(const std::string& token) {
    const auto dot = token.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(token.size() - dot - 1);
}

// A JSON value as the report writes it with the token's decimals (null: not finite).
std::string asReported(const Json& value, int decimals, bool single, bool truncate) {
    if (value.is_null()) return "null";
    double v = value.get<double>();
    if (single) v = fmt::single(v);
    if (truncate) return std::to_string(static_cast<long long>(std::trunc(v)));
    if (decimals == 0) return std::to_string(static_cast<long long>(std::round(v)));  // an integer field
    std::string text = fmt::F(v, 40, decimals);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

bool sameNumber(const std::string& token, const std::string& expected) {
    if (token == expected) return true;
    // A narrow field drops the optional leading zero: ".50" for "0.50".
    return (expected.rfind("0.", 0) == 0 && token == expected.substr(1)) ||
           (expected.rfind("-0.", 0) == 0 && token == "-" + expected.substr(2));
}

struct Expected {
    std::string pointer;
    bool single = false;
    bool truncate = false;
};

class JsonResults : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.copyAllBundled();
        dir_.copyTestData("ldt/derived/strada_nogap.ldt", "eulumdat.ldt");
    }
    void run(const std::string& settings) {
        const test::ProgramResult r = runProgram("--batch " + settings + " --json results.json --start");
        ASSERT_EQ(r.status, 0) << r.err;
        doc_ = Json::parse(test::readFile("results.json"));
        const std::string report = doc_["run"]["report"].get<std::string>();
        lines_ = test::readLines(report);
    }

    // Lines of the report from the section titled `title` up to the next separator.
    std::vector<std::string> section(const std::string& title) const {
        std::vector<std::string> out;
        bool inside = false;
        for (const std::string& line : lines_) {
            if (line == " " + title) {
                inside = true;
                continue;
            }
            if (inside && line == " " + std::string(64, '-')) break;
            if (inside) out.push_back(line);
        }
        return out;
    }

    // Checks each numbered line of the section against the expected JSON values in order.
    void compare(const std::string& title, const std::vector<std::vector<Expected>>& expected) {
        std::size_t k = 0;
        for (const std::string& line : section(title)) {
            const std::vector<std::string> numbers = numbersOf(line);
            if (numbers.empty()) continue;
            ASSERT_LT(k, expected.size()) << title << ": unexpected numbered line \"" << line << "\"";
            ASSERT_EQ(numbers.size(), expected[k].size()) << line;
            for (std::size_t n = 0; n < numbers.size(); ++n) {
                const Expected& e = expected[k][n];
                const Json& value = doc_.at(Json::json_pointer(e.pointer));
                const std::string want = asReported(value, decimalsOf(numbers[n]), e.single, e.truncate);
                EXPECT_TRUE(sameNumber(numbers[n], want)) << line << "\n  " << e.pointer << " = " << value;
            }
            ++k;
        }
        EXPECT_EQ(k, expected.size()) << title;
    }

    test::ScratchDir dir_;
    Json doc_;
    std::vector<std::string> lines_;
};

std::vector<std::vector<Expected>> roadLightingLines() {
    const std::string r = "/road_lighting";
    auto stats = [&](const std::string& base, const std::vector<std::string>& order) {
        std::vector<std::vector<Expected>> lines;
        for (const auto& key : order) lines.push_back({{base + "/" + key}});
        return lines;
    };
    std::vector<std::vector<Expected>> lines = {{{r + "/maintenance_factor"}},
                                                {{r + "/at_infinity/average_maintained_luminance_cd_m2"}}};
    for (const std::string observer : {"/observer1", "/observer2"}) {
        for (auto& l : stats(r + observer + "/maintained_luminance_cd_m2", {"average", "rms", "minimum", "maximum"})) {
            lines.push_back(l);
        }
        lines.push_back({{r + observer + "/overall_uniformity"}});
        lines.push_back({{r + observer + "/lengthwise_uniformity"}});
    }
    for (auto& l : stats(r + "/maintained_horizontal_illuminance_lx",
                         {"average", "rms", "minimum", "maximum", "min_over_average", "min_over_max"})) {
        lines.push_back(l);
    }
    for (auto& l : stats(r + "/luminance_coefficient_cd_per_lm", {"at_infinity", "observed"})) lines.push_back(l);
    for (auto& l : stats(r + "/illuminance_per_luminance_lx_per_cd_m2", {"at_infinity", "observed"})) lines.push_back(l);
    for (auto& l : stats(r + "/veiling_luminance_on_road_cd_m2", {"maximum", "average", "minimum"})) lines.push_back(l);
    for (auto& l : stats(r + "/threshold_increment_percent", {"maximum", "observer1", "observer2"})) lines.push_back(l);
    for (auto& l : stats(r + "/glare_rating", {"maximum", "average", "minimum"})) lines.push_back(l);
    for (auto& l : stats(r + "/maintained_semicylindrical_illuminance_lx", {"minimum", "average", "maximum"})) {
        lines.push_back(l);
    }
    for (auto& l : stats(r + "/maintained_vertical_illuminance_lx", {"minimum", "average", "maximum"})) lines.push_back(l);
    for (auto& l : stats(r + "/maintained_hemispherical_illuminance_lx", {"minimum", "average", "maximum", "min_over_average"})) {
        lines.push_back(l);
    }
    return lines;
}

std::vector<std::vector<Expected>> energyLines() {
    std::vector<std::vector<Expected>> lines;
    for (const std::string key :
         {"utilization_factor", "used_luminaire_flux_percent", "wasted_luminaire_flux_percent",
          "used_downward_flux_percent", "wasted_downward_flux_percent", "luminaires_per_km",
          "lamp_flux_per_length_klm_per_km", "lamp_flux_per_area_lm_per_m2",
          "initial_flux_per_length_per_luminance_klm_km_per_cd_m2",
          "maintained_flux_per_length_per_luminance_klm_km_per_cd_m2", "initial_photometric_efficacy_lm_per_cd",
          "maintained_photometric_efficacy_lm_per_cd", "power_per_length_per_luminance_kw_km_per_cd_m2",
          "energetic_efficacy_w_per_cd", "lamp_efficacy_lm_per_w"}) {
        lines.push_back({{"/energy/" + key}});
    }
    return lines;
}

std::vector<std::vector<Expected>> directionalLines() {
    const std::string d = "/light_pollution/directional";
    std::vector<std::vector<Expected>> lines;
    for (int k = 0; k < 36; ++k) {
        const std::string row = d + "/average_luminance_by_azimuth/" + std::to_string(k);
        lines.push_back({{row + "/azimuth_deg", false, true}, {row + "/maintained_luminance_cd_m2"}});
    }
    for (int k = 0; k < 48; ++k) {
        const std::string row = d + "/upward_intensity_by_direction/" + std::to_string(k);
        lines.push_back({{row + "/elevation_deg", false, true},
                         {row + "/azimuth_deg", false, true},
                         {row + "/road_cd_per_klm_luminaire", true},
                         {row + "/luminaire_cd_per_klm_luminaire", true},
                         {row + "/ratio_percent", false, true}});
    }
    for (int k = 0; k < 4; ++k) {
        const std::string row = d + "/upward_intensity_by_elevation/" + std::to_string(k);
        lines.push_back({{row + "/road_cd_per_klm_luminaire"},
                         {row + "/luminaire_cd_per_klm_luminaire"},
                         {row + "/ratio_percent", false, true}});
    }
    const std::string max = d + "/maximum_upward_luminaire_intensity";
    lines.push_back({{max + "/cd_per_klm_lamp"}, {max + "/c_deg"}, {max + "/gamma_deg"}});
    lines.push_back({{max + "/cd_per_klm_luminaire"}, {max + "/c_deg"}, {max + "/gamma_deg"}});
    lines.push_back({{d + "/maximum_upward_road_intensity/cd_per_klm_lamp"}, {d + "/maximum_upward_road_intensity/gamma_deg"}});
    lines.push_back({{d + "/maximum_upward_road_intensity/cd_per_klm_luminaire"},
                     {d + "/maximum_upward_road_intensity/gamma_deg"}});
    return lines;
}

std::vector<std::vector<Expected>> integratedLines() {
    const std::string i = "/light_pollution/integrated/";
    std::vector<std::vector<Expected>> lines;
    for (const std::string key : {"direct_upward_flux_ratio_percent", "road_reflected_upward_flux_ratio_percent",
                                  "road_reflected_upward_flux_ratio_aged_asphalt_percent",
                                  "out_of_road_reflected_upward_flux_ratio_percent"}) {
        lines.push_back({{i + key}});
    }
    lines.push_back({{i + "increase_of_upflux_ratio_direct_percent", false, true}});
    lines.push_back({{i + "increase_of_upflux_ratio_out_of_road_percent", false, true}});
    for (const std::string key : {"direct_uplight_density_lm_per_m2", "road_uplight_density_lm_per_m2",
                                  "out_of_road_uplight_density_lm_per_m2"}) {
        lines.push_back({{i + key}});
    }
    lines.push_back({{i + "increase_of_uplight_density_direct_percent", false, true}});
    lines.push_back({{i + "increase_of_uplight_density_out_of_road_percent", false, true}});
    return lines;
}

std::vector<std::vector<Expected>> scatteringLines() {
    const std::string h = "/light_pollution/hemispheric_scattering/";
    const std::string l = "/light_pollution/low_angle/";
    std::vector<std::vector<Expected>> lines;
    for (const std::string key : {"direct_scattered_flux_factor_percent", "road_scattered_flux_factor_percent",
                                  "out_of_road_scattered_flux_factor_percent"}) {
        lines.push_back({{h + key}});
    }
    lines.push_back({{h + "increase_of_scattered_flux_direct_percent", false, true}});
    lines.push_back({{h + "increase_of_scattered_flux_out_of_road_percent", false, true}});
    for (const std::string kind : {"upward", "scattered"}) {
        lines.push_back({{l + "direct_" + kind + "_flux_factor_percent"}});
        lines.push_back({{l + "road_" + kind + "_flux_factor_percent"}});
        lines.push_back({{l + "out_of_road_" + kind + "_flux_factor_percent"}});
        lines.push_back({{l + "increase_of_" + kind + "_flux_direct_percent", false, true}});
        lines.push_back({{l + "increase_of_" + kind + "_flux_out_of_road_percent", false, true}});
    }
    return lines;
}

TEST_F(JsonResults, EveryReportedFigureIsTheJsonValueRoundedAsReported) {
    for (const std::string settings : {"", "--set tilt=10 --set grid=2", "--set surface=R3 --set spacing=30"}) {
        SCOPED_TRACE(settings);
        run(settings);
        compare("Road lighting parameters:", roadLightingLines());
        compare("Energy and cost parameters:", energyLines());
        compare("Light Pollution, direction dependent parameters:", directionalLines());
        compare("Light Pollution, integrated parameters:", integratedLines());
        compare("Light Pollution, emispheric and low-angles scattering parameters", scatteringLines());
        EXPECT_EQ(doc_["schema"], "vesperluminal-results/1");
        EXPECT_EQ(doc_["inputs"]["installation"]["photometry_file"], "eulumdat.ldt");
    }
}

TEST_F(JsonResults, NonFiniteFiguresAreNullWithTheirPath) {
    run("--set flux=0");
    ASSERT_FALSE(doc_["non_finite"].empty());
    for (const Json& entry : doc_["non_finite"]) {
        const Json& value = doc_.at(Json::json_pointer(entry["path"].get<std::string>()));
        EXPECT_TRUE(value.is_null()) << entry;
        const std::string text = entry["value"].get<std::string>();
        EXPECT_TRUE(text == "NaN" || text == "Infinity" || text == "-Infinity") << entry;
    }
    EXPECT_TRUE(doc_["road_lighting"]["observer1"]["overall_uniformity"].is_null());
}

TEST_F(JsonResults, RotationOnlyRunAndOptionErrors) {
    const test::ProgramResult r = runProgram("--batch --set spacing=0 --set tilt=5 --json r.json --start");
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = Json::parse(test::readFile("r.json"));
    EXPECT_EQ(doc["run"]["end"], "rotation_only");
    EXPECT_TRUE(doc["road_lighting"].is_null());
    EXPECT_TRUE(doc["light_pollution"]["directional"]["maximum_upward_luminaire_intensity"].is_object());

    EXPECT_EQ(runProgram("--json").status, 64);
    EXPECT_EQ(runProgram("--json x.json").status, 64);  // needs --run or --batch
}

}  // namespace
}  // namespace vl
