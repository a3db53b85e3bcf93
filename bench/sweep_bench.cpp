// A sweep of the standard field (grid record 1, 10 x 6 points) of the bundled installation
// through the library, as `vesperluminal sweep` computes it: 200 pole heights a pass, on one
// and on two worker threads, without and with the M5 assessment.
//
// Counters: wall_ms and cpu_ms per combination (the CPU time of the whole process, so that
// a loaded machine shows up as wall time above cpu_ms / threads), and the wall time that
// 10 000 combinations would take at this rate.
#include <benchmark/benchmark.h>

#include "bundled_installation.hpp"

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>

#include "app/installation_file.hpp"
#include "app/sweep.hpp"
#include "app/sweep_plan.hpp"

namespace {




void SweepStandardField(benchmark::State& state) {
    const int jobs = static_cast<int>(state.range(0));
    const bool assess = state.range(1) != 0;
    vl::bench::BundledDirectory dir("vl_sweep_bench_");
    const vl::sweep::Plan plan(vl::bench::bundledInstallation(), {*vl::sweep::parseVary("height=6:7.99:0.01").variable});
    vl::sweep::SweepSettings settings;
    if (assess) settings.assessment = vl::assessment::AssessmentRequest{vl::assessment::findLightingClass("M5"), {}, {}};
    const vl::sweep::CombinationEvaluator evaluator(settings);
    const std::atomic<bool> stop{false};
    const std::uint64_t count = plan.count();

    double wall = 0;
    double cpu = 0;
    std::uint64_t combinations = 0;
    for (auto _ : state) {
        const auto wallStart = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        std::uint64_t completed = 0;
        vl::sweep::runOrdered(
            evaluator, count, jobs,
            [&](std::uint64_t k, vl::sweep::CombinationEvaluator::Scratch& scratch) -> std::optional<vl::sweep::Row> {
                return evaluator.evaluate(k, plan.combination(k), scratch, &stop);
            },
            [&](std::uint64_t, vl::sweep::Row&& row) {
                completed += row.outcome == vl::sweep::Outcome::Completed ? 1 : 0;
                benchmark::DoNotOptimize(row.figures);
            },
            [](std::uint64_t) {}, stop);
        cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        combinations += count;
        if (completed != count) state.SkipWithError("a combination of the standard field was not completed");
    }
    const double n = static_cast<double>(combinations);
    state.counters["wall_ms"] = 1000.0 * wall / n;
    state.counters["cpu_ms"] = 1000.0 * cpu / n;
    state.counters["s_for_10000"] = 10000.0 * wall / n;
    state.SetItemsProcessed(static_cast<std::int64_t>(combinations));
}
BENCHMARK(SweepStandardField)
    ->ArgNames({"jobs", "assess"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

}  // namespace
