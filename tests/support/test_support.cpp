#include "support/test_support.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "core/roadlighting/road_fixtures.hpp"
#include "writers/streams.hpp"

namespace vl::test {

namespace fs = std::filesystem;

InstallationData defaultInstallation() { return formDefaults(); }

namespace {

double intensityAt(const PhotometryTable& t, double c, int j) {
    int i = 1;
    while (i < t.cCount - 1 && t.cAngles[static_cast<std::size_t>(i)] < c) ++i;
    const double c0 = t.cAngles[static_cast<std::size_t>(i - 1)];
    const double c1 = t.cAngles[static_cast<std::size_t>(i)];
    const double w = c1 > c0 ? (c - c0) / (c1 - c0) : 0.0;
    return (1.0 - w) * t.I(i - 1, j) + w * t.I(i, j);
}

double oneWay(const PhotometryTable& a, const PhotometryTable& b, double scaleA, double scaleB) {
    double largest = 0.0;
    for (int i = 0; i < a.cCount; ++i) {
        for (int j = 0; j < a.gammaCount; ++j) {
            const double d = std::fabs(a.I(i, j) * scaleA - intensityAt(b, a.cAngles[static_cast<std::size_t>(i)], j) * scaleB);
            largest = std::max(largest, d);
        }
    }
    return largest;
}

}  // namespace

double largestDifference(const PhotometryTable& a, const PhotometryTable& b, double scaleA, double scaleB) {
    if (a.gammaAngles.size() != b.gammaAngles.size() || a.cCount < 2 || b.cCount < 2) return INFINITY;
    for (std::size_t j = 0; j < a.gammaAngles.size(); ++j) {
        if (std::fabs(a.gammaAngles[j] - b.gammaAngles[j]) > 1e-9) return INFINITY;
    }
    return std::max(oneWay(a, b, scaleA, scaleB), oneWay(b, a, scaleB, scaleA));
}

ScratchDir::ScratchDir() : previous_(fs::current_path()) {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = fs::temp_directory_path() /
            ("vl_test_" + std::to_string(rd()) + "_" + std::to_string(counter++));
    fs::create_directories(path_);
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

namespace {

// The tests' figures belong to the full-sphere luminaire that was bundled before; the
// bundled default is checked by its own test.
fs::path bundledSource(const std::string& name) {
    if (name == "eulumdat.ldt") return fs::path(VL_TEST_DATA_DIR) / "ldt/derived/strada_nogap.ldt";
    return fs::path(VL_BUNDLED_DATA_DIR) / name;
}

}  // namespace

void ScratchDir::copyBundled(const std::string& name, const std::string& as) const {
    fs::copy_file(bundledSource(name), path_ / (as.empty() ? name : as), fs::copy_options::overwrite_existing);
}

void ScratchDir::copyDefaultInstallation() const {
    for (const auto& entry : fs::directory_iterator(VL_BUNDLED_DATA_DIR)) {
        if (entry.is_regular_file() && entry.path().extension() != ".md") {
            fs::copy_file(entry.path(), path_ / entry.path().filename(), fs::copy_options::overwrite_existing);
        }
    }
}

void ScratchDir::copyTestData(const std::string& name, const std::string& as) const {
    fs::copy_file(fs::path(VL_TEST_DATA_DIR) / name, path_ / (as.empty() ? fs::path(name).filename().string() : as),
                  fs::copy_options::overwrite_existing);
}

void ScratchDir::copyAllBundled() const {
    copyDefaultInstallation();
    copyBundled("eulumdat.ldt");
}

void ScratchDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

ConsoleCapture::ConsoleCapture() {
    setConsoleSink([this](std::string_view line) { lines_.emplace_back(line); });
    setConsolePause([] {});
}

ConsoleCapture::~ConsoleCapture() {
    setConsoleSink(nullptr);
    setConsolePause(nullptr);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> readLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

ProgramResult runProgram(const std::string& arguments, const std::string& input) {
    ProgramResult result;
    const std::string base = (fs::current_path() / ".vl_run_").string();
    std::string command = std::string("\"") + VL_PROGRAM_PATH + "\" " + arguments;
    if (!input.empty()) {
        std::ofstream(base + "in") << input;
        command += " < \"" + base + "in\"";
    } else {
        command += " < /dev/null";
    }
    command += " > \"" + base + "out\" 2> \"" + base + "err\"";
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(base + "out");
    result.err = readFile(base + "err");
    std::error_code ec;
    fs::remove(base + "out", ec);
    fs::remove(base + "err", ec);
    fs::remove(base + "in", ec);
    return result;
}

}  // namespace vl::test
