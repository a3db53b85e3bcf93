// Sweeps, merges and optimisations through the built program, checked against separate
// --run --json runs of the same combinations and against a fine sweep.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/installation_file.hpp"
#include "readers/csv_records.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using test::runProgram;

struct Table {
    std::vector<std::string> columns;
    std::vector<std::map<std::string, std::string>> rows;
};

Table readTable(const std::string& name) {
    const std::vector<CsvRecord> records = readCsvFile(name);
    Table table;
    if (records.empty()) return table;
    table.columns = records.front().fields;
    for (std::size_t r = 1; r < records.size(); ++r) {
        EXPECT_EQ(records[r].fields.size(), table.columns.size()) << name << " line " << records[r].line;
        std::map<std::string, std::string> row;
        for (std::size_t k = 0; k < table.columns.size() && k < records[r].fields.size(); ++k) {
            row[table.columns[k]] = records[r].fields[k];
        }
        table.rows.push_back(row);
    }
    return table;
}

std::set<std::string> listing() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::current_path())) names.insert(entry.path().filename().string());
    return names;
}

// A CSV cell against the run's JSON value: the same double, or both absent / not finite.
void expectSame(const std::map<std::string, std::string>& row, const std::string& column, const Json& value,
                const std::string& where) {
    const auto cell = row.find(column);
    ASSERT_NE(cell, row.end()) << "no column " << column;
    if (value.is_null()) {
        EXPECT_TRUE(cell->second.empty() || !std::isfinite(std::strtod(cell->second.c_str(), nullptr)))
            << where << " " << column << ": " << cell->second << " where the run has null";
        return;
    }
    ASSERT_FALSE(cell->second.empty()) << where << " " << column << " is empty; the run has " << value;
    if (value.is_boolean()) {
        EXPECT_EQ(cell->second, value.get<bool>() ? "pass" : "fail") << where << " " << column;
    } else if (value.is_string()) {
        EXPECT_EQ(cell->second, value.get<std::string>()) << where << " " << column;
    } else {
        EXPECT_EQ(std::strtod(cell->second.c_str(), nullptr), value.get<double>()) << where << " " << column;
    }
}

class Sweep : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.copyAllBundled();
        dir_.copyTestData("ldt/road_luminaire.ldt");
        base_ = test::defaultInstallation();
        writeInstallationFile(base_);
    }
    test::ScratchDir dir_;
    InstallationData base_;
};

TEST_F(Sweep, RowsEqualSeparateRunsValueForValueAndRefusalsCarryTheRunsReason) {
    const test::ProgramResult r = runProgram(
        "sweep --assess M5 --vary spacing=0,24.005,31 --vary grid=1,10 "
        "--vary photometry=eulumdat.ldt,road_luminaire.ldt,absent.ldt --jobs 2 --csv s.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists("absent.ldt"));  // a missing photometry is not created
    const Table table = readTable("s.csv");
    ASSERT_EQ(table.rows.size(), 18u);

    const std::vector<std::pair<std::string, std::string>> figures = {
        {"lamp_flux_klm", "/inputs/installation/lamp_flux_klm"},
        {"spacing_m", "/inputs/installation/spacing_m"},
        {"grid_choice", "/inputs/installation/grid_choice"},
        {"luminance_obs1_cd_m2", "/road_lighting/observer1/maintained_luminance_cd_m2/average"},
        {"overall_uniformity_obs1", "/road_lighting/observer1/overall_uniformity"},
        {"lengthwise_uniformity_obs1", "/road_lighting/observer1/lengthwise_uniformity"},
        {"threshold_increment_obs1_percent", "/road_lighting/observer1/threshold_increment_percent"},
        {"luminance_obs2_cd_m2", "/road_lighting/observer2/maintained_luminance_cd_m2/average"},
        {"overall_uniformity_obs2", "/road_lighting/observer2/overall_uniformity"},
        {"lengthwise_uniformity_obs2", "/road_lighting/observer2/lengthwise_uniformity"},
        {"threshold_increment_obs2_percent", "/road_lighting/observer2/threshold_increment_percent"},
        {"average_illuminance_lx", "/road_lighting/maintained_horizontal_illuminance_lx/average"},
        {"minimum_illuminance_lx", "/road_lighting/maintained_horizontal_illuminance_lx/minimum"},
        {"utilization_factor", "/energy/utilization_factor"},
        {"road_reflected_ratio_percent", "/light_pollution/integrated/road_reflected_upward_flux_ratio_percent"},
        {"out_of_road_reflected_ratio_percent", "/light_pollution/integrated/out_of_road_reflected_upward_flux_ratio_percent"},
        {"duud_lm_m2", "/light_pollution/integrated/direct_uplight_density_lm_per_m2"},
        {"ruud_lm_m2", "/light_pollution/integrated/road_uplight_density_lm_per_m2"},
        {"wuud_lm_m2", "/light_pollution/integrated/out_of_road_uplight_density_lm_per_m2"},
        {"hemispheric_direct_scattered_percent", "/light_pollution/hemispheric_scattering/direct_scattered_flux_factor_percent"},
        {"hemispheric_road_scattered_percent", "/light_pollution/hemispheric_scattering/road_scattered_flux_factor_percent"},
        {"hemispheric_out_of_road_scattered_percent", "/light_pollution/hemispheric_scattering/out_of_road_scattered_flux_factor_percent"},
        {"low_angle_direct_scattered_percent", "/light_pollution/low_angle/direct_scattered_flux_factor_percent"},
        {"low_angle_road_scattered_percent", "/light_pollution/low_angle/road_scattered_flux_factor_percent"},
        {"low_angle_out_of_road_scattered_percent", "/light_pollution/low_angle/out_of_road_scattered_flux_factor_percent"},
        {"edge_illuminance_ratio", "/assessment/edge_illuminance_ratio/ratio"},
        {"dp_w_per_lx_m2", "/assessment/energy_indicators/power_density_indicator_w_per_lx_m2"},
        {"de_wh_per_m2", "/assessment/energy_indicators/annual_energy_consumption_indicator_wh_per_m2"},
        {"class_met", "/assessment/chosen_class/met"},
    };

    std::map<std::string, int> outcomes;
    std::size_t k = 0;
    for (double spacing : {0.0, 24.005, 31.0}) {
        for (int grid : {1, 10}) {
            for (const std::string photometry : {"eulumdat.ldt", "road_luminaire.ldt", "absent.ldt"}) {
                const auto& row = table.rows[k++];
                const std::string where = "row " + row.at("index");
                ASSERT_EQ(row.at("index"), std::to_string(k));
                ++outcomes[row.at("outcome")];
                // The same combination as a run of its own.
                InstallationData d = base_;
                d.spacing = spacing;
                d.gridChoice = grid;
                d.photometryFile = photometry;
                writeInstallationFile(d);
                const test::ProgramResult single = runProgram("--run --json r.json --assess M5");
                if (row.at("outcome") == "refused") {
                    EXPECT_EQ(single.status, 1) << where;
                    EXPECT_NE(single.out.find(row.at("reason")), std::string::npos) << where << ": " << row.at("reason");
                    continue;
                }
                if (row.at("outcome") == "file_error") {
                    EXPECT_EQ(single.status, 2) << where;
                    EXPECT_NE(row.at("reason").find("file \"" + photometry + "\""), std::string::npos) << where;
                    EXPECT_NE(single.err.find("file \"" + photometry + "\""), std::string::npos) << where;
                    fs::remove(photometry);  // the run created it empty
                    continue;
                }
                ASSERT_EQ(single.status, 0) << where << single.err;
                const Json run = Json::parse(test::readFile("r.json"));
                const bool fullSphere = run["emission"]["full_sphere"].get<bool>();
                expectSame(row, "ulor_percent",
                           run["emission"][fullSphere ? "calculated" : "declared"]["upward_light_output_ratio_percent"], where);
                if (row.at("outcome") == "rotation_only") {
                    EXPECT_TRUE(run["road_lighting"].is_null()) << where;
                    EXPECT_TRUE(row.at("luminance_obs1_cd_m2").empty()) << where;
                    continue;
                }
                ASSERT_EQ(row.at("outcome"), "completed") << where;
                for (const auto& [column, pointer] : figures) {
                    const Json::json_pointer p(pointer);
                    expectSame(row, column, run.contains(p) ? run.at(p) : Json(nullptr), where);
                }
                for (const Json& check : run["assessment"]["chosen_class"]["requirements"]) {
                    std::string name = check["quantity"].get<std::string>();
                    if (check.contains("observer")) name += "_obs" + std::to_string(check["observer"].get<int>());
                    expectSame(row, name + "_margin", check["margin"], where);
                    expectSame(row, name + "_pass", check["pass"], where);
                }
                const Json& energy = run["energy"];
                const Json& in = run["inputs"]["installation"];
                const double watts = energy["lamp_wattage_w"].get<double>() / energy["lamp_flux_lm"].get<double>() * 1000.0 *
                                     in["lamp_flux_klm"].get<double>();
                expectSame(row, "power_per_area_w_m2",
                           watts / (in["road_width_m"].get<double>() * in["spacing_m"].get<double>()), where);
            }
        }
    }
    // Two photometries with and without the upper hemisphere, at two spacings; spacing 0
    // stops after the rotation; grid 10 and a missing file stop the run (the missing
    // file first: the photometry is read before the grid choice is checked).
    EXPECT_EQ(outcomes["completed"], 4);
    EXPECT_EQ(outcomes["rotation_only"], 2);
    EXPECT_EQ(outcomes["refused"], 6);
    EXPECT_EQ(outcomes["file_error"], 6);
}

TEST_F(Sweep, ShardsPartitionTheCombinationsAndMergeRestoresTheirOrder) {
    const std::string vary = "sweep --vary spacing=0,20,25 --vary grid=10,1 --vary tilt=0,5 ";
    ASSERT_EQ(runProgram(vary + "--csv whole.csv").status, 0);
    const std::string whole = test::readFile("whole.csv");
    const Table wholeTable = readTable("whole.csv");
    ASSERT_EQ(wholeTable.rows.size(), 12u);

    std::vector<std::string> parts;
    std::multiset<std::string> indices;
    for (int k = 1; k <= 5; ++k) {
        const std::string part = "part" + std::to_string(k) + ".csv";
        ASSERT_EQ(runProgram(vary + "--shard " + std::to_string(k) + "/5 --jobs 1 --csv " + part).status, 0);
        for (const auto& row : readTable(part).rows) indices.insert(row.at("index"));
        parts.push_back(part);
    }
    EXPECT_EQ(indices.size(), 12u);
    EXPECT_EQ(std::set<std::string>(indices.begin(), indices.end()).size(), 12u);

    test::ProgramResult merged = runProgram("sweep-merge merged.csv part4.csv part1.csv part5.csv part3.csv part2.csv");
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(test::readFile("merged.csv"), whole);

    // Overlapping parts are refused; a missing part is named, the rest still written.
    merged = runProgram("sweep-merge overlap.csv part1.csv part2.csv part2.csv");
    EXPECT_EQ(merged.status, 1);
    EXPECT_NE(merged.err.find("the parts overlap"), std::string::npos) << merged.err;
    EXPECT_FALSE(fs::exists("overlap.csv"));
    const Table third = readTable("part3.csv");
    merged = runProgram("sweep-merge gap.csv part1.csv part2.csv part4.csv part5.csv");
    EXPECT_EQ(merged.status, 1);
    EXPECT_NE(merged.err.find("combinations " + third.rows.front().at("index") + "-" + third.rows.back().at("index") +
                              " are missing"),
              std::string::npos)
        << merged.err;
    EXPECT_EQ(readTable("gap.csv").rows.size(), 12u - third.rows.size());
}

// /dev/stdout is such a link: renaming a finished table over it would replace it.
TEST_F(Sweep, ALinkNamedForTheOutputIsWrittenThroughNotReplaced) {
    fs::create_symlink("target.csv", "link.csv");
    ASSERT_EQ(runProgram("sweep --vary spacing=0,20 --csv link.csv").status, 0);
    EXPECT_TRUE(fs::is_symlink("link.csv"));
    EXPECT_EQ(readTable("target.csv").rows.size(), 2u);
    EXPECT_FALSE(fs::exists("link.csv.part"));
}

TEST_F(Sweep, BadInputIsRefusedBeforeAnythingIsComputedOrWritten) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"sweep --vary lumens=1,2 --csv out.csv", "--vary lumens=1,2: unknown input"},
        {"sweep --vary height=12:6:1 --csv out.csv", "--vary height=12:6:1: reversed range"},
        {"sweep --vary height=6:12:0 --csv out.csv", "--vary height=6:12:0: a step of 0"},
        {"sweep --vary height= --csv out.csv", "--vary height=: empty range"},
        {"sweep --vary flux=0:9999:0.01 --vary width=5,6 --csv out.csv", "--vary: 1999802 combinations"},
        {"sweep --vary height=6,7 --shard 3/2 --csv out.csv", "--shard 3/2"},
        {"sweep --vary height=6,7 --shard 0/2 --csv out.csv", "--shard 0/2"},
        {"sweep --vary height=6,7 --vary height=8 --csv out.csv", "--vary height=8: height is already varied"},
        {"sweep --vary height=6,7 --jobs 0 --csv out.csv", "--jobs 0"},
        {"sweep --vary height=6,7", "--csv"},
        {"optimise --maximise spacing --csv out.csv", "--assess CLASS"},
        {"optimise --assess M5 --maximise height --csv out.csv", "--maximise height"},
        {"optimise --assess M5 --maximise spacing --vary spacing=0:10:1 --csv out.csv", "--vary spacing=0:10:1"},
        {"sweep-merge out.csv", "sweep-merge"},
    };
    const std::set<std::string> before = listing();
    for (const auto& [arguments, expected] : cases) {
        const test::ProgramResult r = runProgram(arguments);
        EXPECT_EQ(r.status, 64) << arguments;
        EXPECT_NE(r.err.find(expected), std::string::npos) << arguments << "\n" << r.err;
        EXPECT_EQ(listing(), before) << arguments;
    }
    EXPECT_EQ(readInstallationFile().spacing, base_.spacing);
}

// Starts the program with the arguments; standard output and error to files.
pid_t startProgram(const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open("run.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("run.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        std::string program = VL_PROGRAM_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = arguments;
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

TEST_F(Sweep, InterruptedSweepKeepsTheRowsFinishedSoFarWholeAndInOrder) {
    const pid_t pid = startProgram({"sweep", "--vary", "height=6:25.99:0.01", "--jobs", "2", "--csv", "big.csv", "--json",
                                    "big.json"});
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    auto lines = [] {
        std::error_code ec;
        if (!fs::exists("big.csv.part", ec)) return std::size_t{0};
        const std::string text = test::readFile("big.csv.part");
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    };
    while (lines() < 6 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGINT);
    int raw = 0;
    waitpid(pid, &raw, 0);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 130);

    const Table table = readTable("big.csv");
    ASSERT_GE(table.rows.size(), 5u);
    ASSERT_LT(table.rows.size(), 2000u);
    for (std::size_t k = 0; k < table.rows.size(); ++k) {
        EXPECT_EQ(table.rows[k].at("index"), std::to_string(k + 1));
        EXPECT_EQ(table.rows[k].at("outcome"), "completed");
        EXPECT_FALSE(table.rows[k].at("power_per_area_w_m2").empty());
    }
    const std::string n = std::to_string(table.rows.size());
    EXPECT_NE(test::readFile("run.err").find("sweep interrupted: " + n + " of 2000 rows written to big.csv"),
              std::string::npos)
        << test::readFile("run.err");
    const Json json = Json::parse(test::readFile("big.json"));
    EXPECT_EQ(json["rows"].size(), table.rows.size());
    EXPECT_FALSE(json["complete"].get<bool>());
    EXPECT_FALSE(fs::exists("big.csv.part"));
}

TEST_F(Sweep, OptimiseFindsTheLargestSpacingAFineSweepShowsAndTheLowestDp) {
    const test::ProgramResult r = runProgram(
        "optimise --assess M5 --maximise spacing --vary height=7,9 --vary spacing=15:35:5 --csv best.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(runProgram("sweep --assess M5 --vary height=7,9 --vary spacing=15:35:0.1 --csv fine.csv").status, 0);
    const Table best = readTable("best.csv");
    const Table fine = readTable("fine.csv");
    ASSERT_EQ(best.rows.size(), 2u);

    std::string lowest;
    double lowestDp = INFINITY;
    for (const auto& row : best.rows) {
        // By hand: the largest spacing of the fine sweep meeting M5 at this height, its D_P.
        const std::map<std::string, std::string>* expected = nullptr;
        for (const auto& f : fine.rows) {
            if (f.at("pole_height_m") == row.at("pole_height_m") && f.at("class_met") == "pass") expected = &f;
        }
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(row.at("result"), "found");
        EXPECT_EQ(row.at("spacing_m"), expected->at("spacing_m")) << "height " << row.at("pole_height_m");
        EXPECT_EQ(row.at("dp_w_per_lx_m2"), expected->at("dp_w_per_lx_m2"));
        EXPECT_EQ(row.at("class_met"), "pass");
        if (std::strtod(row.at("dp_w_per_lx_m2").c_str(), nullptr) < lowestDp) {
            lowestDp = std::strtod(row.at("dp_w_per_lx_m2").c_str(), nullptr);
            lowest = row.at("index");
        }
    }
    for (const auto& row : best.rows) EXPECT_EQ(row.at("lowest_dp"), row.at("index") == lowest ? "yes" : "") << row.at("index");
    EXPECT_NE(r.out.find("Lowest D_P: height="), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vl
