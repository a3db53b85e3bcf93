// The road lighting phase on the bundled installation: the standard 10 x 6 field and
// the finest 200 x 200 field, with the two table lookups that dominate it. The inputs are
// read once; only the computation is timed.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/photometry/emission.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/surface/surface_table.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"

namespace {

// The bundled default installation with its tables and lookups.
struct Bundled {
    vl::InstallationData installation;
    vl::PhotometryTable photometry;
    vl::ReducedLuminanceTable surface;
    vl::AgedAsphaltCurve agedAsphaltCurve;
    std::unique_ptr<vl::LuminaireIntensity> luminaire;
    std::unique_ptr<vl::SurfaceReflection> reflection;
    std::unique_ptr<vl::AgedAsphaltReflectance> agedAsphalt;
    vl::EmissionData emission;
};

// Read once, on the heap: the lookups view the tables, which must not move.
std::unique_ptr<Bundled> load() {
    const std::string data = VL_BUNDLED_DATA_DIR;
    auto b = std::make_unique<Bundled>();
    Bundled& r = *b;
    r.installation.lampFlux = 6.5;
    r.installation.roadWidth = 7.0;
    r.installation.spacing = 24.0;
    r.installation.overhang = 2.5;
    r.installation.poleHeight = 7.0;
    r.installation.maintenanceFactor = 0.8;
    r.installation.surfaceClass = "C2";
    r.installation.gridChoice = 1;
    r.installation.photometryFile = "eulumdat.ldt";
    // The full-sphere road luminaire the timings were first taken with.
    vl::EulumdatFile file;
    vl::readEulumdat(std::string(VL_TEST_DATA_DIR) + "/ldt/derived/strada_nogap.ldt", file);
    r.photometry = std::move(file.table);
    vl::SurfaceTableFile surface;
    vl::readSurfaceTable(data + "/SRT_C2", surface);
    r.surface = surface.table;
    r.agedAsphaltCurve = vl::readAgedAsphaltCurve(data + "/asphalt1_reflectance.dat");
    r.luminaire = std::make_unique<vl::LuminaireIntensity>(r.photometry, r.installation.tilt);
    r.reflection = std::make_unique<vl::SurfaceReflection>(r.surface);
    r.agedAsphalt = std::make_unique<vl::AgedAsphaltReflectance>(r.agedAsphaltCurve);
    vl::RotatedPhotometry rotated;
    vl::rotatePhotometry(*r.luminaire, rotated);
    r.emission = vl::computeEmission(r.photometry, rotated.rotatedIntensity).effective;
    return b;
}

const Bundled& bundled() {
    static const std::unique_ptr<Bundled> b = load();
    return *b;
}

vl::GridChoice record(int n) {
    vl::GridChoice g;
    g.gridTitle = "bench";
    g.gridTitle.resize(40, ' ');
    g.gridNumber = 1;
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

void RoadLightingPhase(benchmark::State& st) {
    const Bundled& b = bundled();
    const vl::GridChoice grid = record(static_cast<int>(st.range(0)));
    const vl::RoadLookups lookups{*b.luminaire, *b.reflection, *b.agedAsphalt};
    const std::vector<vl::LampSet>& lamps = b.photometry.declared.lampSets;
    const vl::LampSet lamp = lamps.empty() ? vl::LampSet{} : lamps.back();
    vl::DirectionalLuminance byDirection;
    for (auto _ : st) {
        const vl::RoadLightingResult r = vl::computeRoadLighting(b.installation, grid, vl::ComputationGrid{}, lookups,
                                                                 b.emission, b.photometry, lamp,
                                                                 vl::kRoadLightingWorkers, byDirection);
        benchmark::DoNotOptimize(r.glareRatingStats.average);
    }
}
BENCHMARK(RoadLightingPhase)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void IntensityLookup(benchmark::State& st) {
    const vl::LuminaireIntensity& luminaire = *bundled().luminaire;
    double c = 3.0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(luminaire.at(c, 47.3));
        c = c < 350.0 ? c + 7.1 : 3.0;
    }
}
BENCHMARK(IntensityLookup);

void ReflectionLookup(benchmark::State& st) {
    const vl::SurfaceReflection& surface = *bundled().reflection;
    double beta = 1.0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(surface.coefficient(beta, 1.7));
        beta = beta < 170.0 ? beta + 3.3 : 1.0;
    }
}
BENCHMARK(ReflectionLookup);

}  // namespace
