// The road lighting phase on the bundled installation: the standard 10 x 6 field and
// the finest 200 x 200 field, with the two table lookups that dominate it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/numeric/degrees.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "app/driver.hpp"
#include "readers/eulumdat.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "app/computation_state.hpp"
#include "core/surface/surface_table.hpp"

namespace {

namespace fs = std::filesystem;

// A temporary working directory holding a copy of the bundled data, with a full-sphere luminaire.
class BundledDirectory {
public:
    BundledDirectory() : previous_(fs::current_path()) {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("vl_road_bench_" + std::to_string(rd()));
        fs::create_directories(path_);
        for (const auto& entry : fs::directory_iterator(VL_BUNDLED_DATA_DIR)) {
            if (entry.is_regular_file()) fs::copy_file(entry.path(), path_ / entry.path().filename());
        }
        // The full-sphere photometry the timings were first taken with.
        fs::copy_file(fs::path(VL_TEST_DATA_DIR) / "ldt/derived/strada_nogap.ldt", path_ / "eulumdat.ldt",
                      fs::copy_options::overwrite_existing);
        fs::current_path(path_);
    }
    ~BundledDirectory() {
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(path_, ec);
    }
    BundledDirectory(const BundledDirectory&) = delete;
    BundledDirectory& operator=(const BundledDirectory&) = delete;

private:
    fs::path previous_;
    fs::path path_;
};

vl::GridChoice record(int number, int n) {
    vl::GridChoice g;
    g.gridTitle = "bench";
    g.gridTitle.resize(40, ' ');
    g.gridNumber = number;
    g.pointsAlongX = n == 200 ? 200 : 10;
    g.pointsAlongY = n == 200 ? 200 : 6;
    g.startFlagX = 'c';
    g.startFlagY = 'c';
    g.observerDistance = 60.0;
    g.observerHeight = 1.5;
    g.observer1Offset = 0.25;
    g.observer2Offset = 0.75;
    return g;
}

void prepareBundledState(int gridNumber, int n) {
    vl::setConsoleSink([](std::string_view) {});
    vl::ComputationState& s = vl::state();
    vl::InstallationData& in = s.installation;
    in.lampFlux = 6.5;
    in.roadWidth = 7.0;
    in.spacing = 24.0;
    in.overhang = 2.5;
    in.poleHeight = 7.0;
    in.maintenanceFactor = 0.8;
    in.tilt = 0.0;
    in.surfaceClass = "C2";
    in.gridChoice = gridNumber;
    in.photometryFile = "eulumdat.ldt";
    s.gridRecord = record(gridNumber, n);
    vl::readSurfaceTable("C2");
    vl::readLuminaire();
    vl::buildRotatedPhotometry();
    vl::computeEmissionData();
    vl::readAgedAsphaltTable();
}

void RoadLightingPhase(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    BundledDirectory dir;
    prepareBundledState(1, n);
    for (auto _ : st) {
        vl::computeRoadLighting();
        benchmark::DoNotOptimize(vl::state().maps.glareRatingStats.average);
    }
    vl::setConsoleSink(nullptr);
}
BENCHMARK(RoadLightingPhase)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void IntensityLookup(benchmark::State& st) {
    BundledDirectory dir;
    prepareBundledState(1, 10);
    double c = 3.0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(vl::luminaireIntensityAt(c, 47.3));
        c = c < 350.0 ? c + 7.1 : 3.0;
    }
    vl::setConsoleSink(nullptr);
}
BENCHMARK(IntensityLookup);

void ReflectionLookup(benchmark::State& st) {
    BundledDirectory dir;
    prepareBundledState(1, 10);
    double beta = 1.0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(vl::reducedLuminanceCoefficient(beta, 1.7));
        beta = beta < 170.0 ? beta + 3.3 : 1.0;
    }
    vl::setConsoleSink(nullptr);
}
BENCHMARK(ReflectionLookup);

}  // namespace
