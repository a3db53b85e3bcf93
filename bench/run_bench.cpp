// Whole runs of the bundled installation (the standard field, record 1, and 200 x 200,
// record 9), the phases of a run and the table lookups that dominate it, one lookup at a
// time and in the lanes of each instruction set.
//
// CPU time is the whole process's (both workers); on a shared machine wall times are
// noisy, so compare CPU times and the paired runs of one invocation. Reading and writing
// take what WholeRun takes beyond Evaluate.
#include <benchmark/benchmark.h>

#include "bundled_installation.hpp"

#include <algorithm>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/driver.hpp"
#include "app/installation_file.hpp"
#include "core/numeric/degrees.hpp"
#include "core/numeric/instruction_set.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/luminance.hpp"
#include "core/run/run.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"
#include "writers/streams.hpp"

namespace {


double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double wallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The bundled directory, with the Console silenced while it is current.
class BundledDirectory : public vl::bench::BundledDirectory {
public:
    BundledDirectory() : vl::bench::BundledDirectory("vl_run_bench_") { vl::setConsoleSink([](std::string_view) {}); }
    ~BundledDirectory() { vl::setConsoleSink(nullptr); }
    BundledDirectory(const BundledDirectory&) = delete;
    BundledDirectory& operator=(const BundledDirectory&) = delete;
};

// The inputs of a run of the bundled installation, read in the current directory.
vl::RunInputs bundledInputs(int grid, double tilt) {
    vl::RunInputs in;
    in.installation = vl::bench::bundledInstallation(grid, tilt);
    in.gridRecord = vl::readGridChoice(grid);
    in.extendFlag = 1;
    vl::SurfaceTableFile surface;
    vl::readSurfaceTable("SRT_C2", surface);
    in.surface = surface.table;
    in.agedAsphalt = vl::readAgedAsphaltCurve();
    vl::EulumdatFile file;
    vl::readEulumdat("eulumdat.ldt", file);
    in.photometry = file.table;
    return in;
}

int gridOf(const benchmark::State& st) { return static_cast<int>(st.range(0)); }
double tiltOf(const benchmark::State& st) { return static_cast<double>(st.range(1)); }

// The lookups' instruction set for the life of a benchmark (third argument when given:
// 0 scalar, 1 portable, 2 AVX2, 3 AVX-512; otherwise the widest).
class InstructionSetFor {
public:
    InstructionSetFor(benchmark::State& st, bool given) {
        if (!given) {
            st.SetLabel(vl::instructionSetName(vl::widestInstructionSet()));
            return;
        }
        const auto set = static_cast<vl::InstructionSet>(st.range(2));
        st.SetLabel(vl::instructionSetName(set));
        supported_ = vl::forceLookupInstructionSet(set);
        if (!supported_) st.SkipWithError("not supported by this processor");
    }
    ~InstructionSetFor() { vl::forceLookupInstructionSet(std::nullopt); }
    InstructionSetFor(const InstructionSetFor&) = delete;
    InstructionSetFor& operator=(const InstructionSetFor&) = delete;
    bool supported() const { return supported_; }

private:
    bool supported_ = true;
};

// The program's run: reading the inputs, evaluating, writing the report, data and image files.
template <bool SetGiven>
void WholeRun(benchmark::State& st) {
    const InstructionSetFor set(st, SetGiven);
    if (!set.supported()) return;
    BundledDirectory dir;
    vl::writeInstallationFile(vl::bench::bundledInstallation(gridOf(st), tiltOf(st)));
    for (auto _ : st) {
        std::string report;
        vl::runComputation(report);
        benchmark::DoNotOptimize(report);
    }
}

// evaluate() alone: no file, no formatting.
template <bool SetGiven>
void Evaluate(benchmark::State& st) {
    const InstructionSetFor set(st, SetGiven);
    if (!set.supported()) return;
    BundledDirectory dir;
    const vl::RunInputs in = bundledInputs(gridOf(st), tiltOf(st));
    for (auto _ : st) {
        vl::RunResult r = vl::evaluate(in);
        benchmark::DoNotOptimize(r.road.glareRatingStats.average);
    }
}

// The phases of evaluate() as its progress reports them: wall and CPU milliseconds each.
void EvaluatePhases(benchmark::State& st) {
    BundledDirectory dir;
    const vl::RunInputs in = bundledInputs(gridOf(st), tiltOf(st));
    std::vector<std::string> names;
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : st) {
        std::size_t phase = 0;
        double lastWall = wallSeconds();
        double lastCpu = processSeconds();
        vl::RunControl control;
        control.progress = [&](const char* name, double) {
            if (phase > 0 && names[phase - 1] == name) return;  // a column of the same phase
            const double w = wallSeconds();
            const double c = processSeconds();
            if (phase > 0) {
                wall[phase - 1] += w - lastWall;
                cpu[phase - 1] += c - lastCpu;
            }
            if (phase >= names.size()) {
                names.emplace_back(name);
                wall.push_back(0.0);
                cpu.push_back(0.0);
            }
            lastWall = w;
            lastCpu = c;
            ++phase;
        };
        vl::RunResult r = vl::evaluate(in, control);
        benchmark::DoNotOptimize(r.road.glareRatingStats.average);
    }
    const auto n = static_cast<double>(st.iterations());
    for (std::size_t k = 0; k + 1 < names.size(); ++k) {
        st.counters[names[k] + " wall ms"] = 1000.0 * wall[k] / n;
        st.counters[names[k] + " cpu ms"] = 1000.0 * cpu[k] / n;
    }
}

// The two grid passes of the road lighting phase alone (at tilt 0 the main pass computes
// the glare maps too; the glare pass alone is what a tilted run adds).
struct RoadSetup {
    vl::RunInputs in;
    vl::LuminaireIntensity luminaire;
    vl::SurfaceReflection surface;
    vl::AgedAsphaltReflectance aged;
    vl::RoadInstallation road;
    vl::ComputationGrid grid;
    RoadSetup(int gridChoice, double tilt)
        : in(bundledInputs(gridChoice, tilt)),
          luminaire(in.photometry, tilt),
          surface(in.surface),
          aged(*in.agedAsphalt),
          road(vl::roadInstallation(in.installation)),
          grid(vl::setupGrid(in.gridRecord, road, 0.0, 0.0)) {}
    vl::RoadLookups lookups() const { return {luminaire, surface, aged}; }
};

void MainPass(benchmark::State& st) {
    BundledDirectory dir;
    const RoadSetup s(gridOf(st), tiltOf(st));
    for (auto _ : st) {
        vl::DirectionalLuminance byDirection;
        vl::MainPass pass = vl::computeMainPass(s.grid, s.road, s.lookups(), vl::kRoadLightingWorkers, byDirection);
        benchmark::DoNotOptimize(pass.agedAsphaltReflectedPercent);
    }
}

void GlareMaps(benchmark::State& st) {
    BundledDirectory dir;
    const RoadSetup s(gridOf(st), tiltOf(st));
    for (auto _ : st) {
        vl::GlareMaps maps = vl::computeGlareMaps(s.grid, s.road, s.luminaire, vl::kRoadLightingWorkers);
        benchmark::DoNotOptimize(maps.veilingLuminance(0, 0));
    }
}

// The lookups of one grid column of the 200 x 200 main pass (the middle column): the
// intensity towards each luminaire of the row and the reflection in the 36 viewing
// directions where tan gamma is at most 12.
struct ColumnQueries {
    std::vector<double> c, gamma;  // intensity
    std::vector<double> beta, t;   // reflection
};

ColumnQueries columnQueries(const RoadSetup& s) {
    ColumnQueries q;
    const double x = vl::gridPointX(s.grid, s.grid.pointsAlongX / 2);
    const double h = s.road.poleHeight;
    for (int j = 0; j < s.grid.pointsAlongY; ++j) {
        const double y = vl::gridPointY(s.grid, j);
        for (const int n : vl::kMainRow) {
            const double dx = x - static_cast<double>(n) * s.road.spacing;
            const double dy = y - s.road.overhang;
            const double t = std::sqrt(dy * dy + dx * dx) / h;
            const double azimuth = vl::azimuthToLuminaire(dx, dy);
            q.c.push_back(azimuth + 180.0);
            q.gamma.push_back(vl::atand(t));
            if (t > vl::kReflectionCutoff) continue;
            for (int k = 0; k < vl::kDirections; ++k) {
                q.beta.push_back(vl::foldAzimuth(azimuth, 10.0 * k));
                q.t.push_back(t);
            }
        }
    }
    return q;
}

void IntensityLookups(benchmark::State& st) {
    BundledDirectory dir;
    const RoadSetup s(9, 0.0);
    const ColumnQueries q = columnQueries(s);
    for (auto _ : st) {
        double sum = 0.0;
        for (std::size_t k = 0; k < q.c.size(); ++k) sum += s.luminaire.at(q.c[k], q.gamma[k]);
        benchmark::DoNotOptimize(sum);
    }
    st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(q.c.size()));
}

void ReflectionLookups(benchmark::State& st) {
    BundledDirectory dir;
    const RoadSetup s(9, 0.0);
    const ColumnQueries q = columnQueries(s);
    for (auto _ : st) {
        double sum = 0.0;
        for (std::size_t k = 0; k < q.beta.size(); ++k) sum += s.surface.coefficient(q.beta[k], q.t[k]);
        benchmark::DoNotOptimize(sum);
    }
    st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(q.beta.size()));
}

// The same lookups in batches (one grid column at a time), on each instruction set.
template <bool Intensity>
void BatchedLookups(benchmark::State& st) {
    const auto set = static_cast<vl::InstructionSet>(st.range(0));
    st.SetLabel(vl::instructionSetName(set));
    if (!vl::forceLookupInstructionSet(set)) {
        st.SkipWithError("not supported by this processor");
        return;
    }
    BundledDirectory dir;
    const RoadSetup s(9, 0.0);
    const ColumnQueries q = columnQueries(s);
    std::vector<vl::TableLookup> asked;
    const std::vector<double>& x1 = Intensity ? q.c : q.beta;
    const std::vector<double>& x2 = Intensity ? q.gamma : q.t;
    for (std::size_t k = 0; k < x1.size(); ++k) asked.push_back({x1[k], x2[k], 0.0, false, 0.0, 0.0});
    std::vector<vl::TableLookup> batch = asked;
    for (auto _ : st) {
        std::copy(asked.begin(), asked.end(), batch.begin());
        if constexpr (Intensity) {
            s.luminaire.atMany(batch);
        } else {
            s.surface.coefficientMany(batch);
        }
        benchmark::DoNotOptimize(batch.data());
    }
    vl::forceLookupInstructionSet(std::nullopt);
    st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(batch.size()));
}

// Arguments: grid record, tilt (deg).
void runArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"grid", "tilt"});
    b->Args({1, 0})->Args({9, 0})->Args({9, 10});
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
}

// The same runs one lookup at a time and in the lanes of each instruction set, paired in
// one invocation: grid record, tilt, instruction set.
void setArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"grid", "tilt", "set"});
    for (const int grid : {1, 9}) {
        for (const int set : {0, 1, 2, 3}) b->Args({grid, 0, set});
    }
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
}

BENCHMARK(WholeRun<false>)->Name("WholeRun")->Apply(runArgs);
BENCHMARK(Evaluate<false>)->Name("Evaluate")->Apply(runArgs);
BENCHMARK(WholeRun<true>)->Name("WholeRunBySet")->Apply(setArgs);
BENCHMARK(Evaluate<true>)->Name("EvaluateBySet")->Apply(setArgs);
BENCHMARK(EvaluatePhases)->Apply(runArgs)->Iterations(3);
BENCHMARK(MainPass)->Apply(runArgs);
BENCHMARK(GlareMaps)->Apply(runArgs);
BENCHMARK(IntensityLookups)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(ReflectionLookups)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BatchedLookups<true>)->Name("IntensityLookupsBatched")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BatchedLookups<false>)->Name("ReflectionLookupsBatched")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
