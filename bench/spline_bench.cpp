// Cost of one bicubic table lookup: intensity tables of two sizes and the reduced
// luminance table, each next to the plain row-by-row composition for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "../tests/core/numeric/spline_literal.hpp"
#include "core/numeric/spline.hpp"

namespace {

struct Table {
    std::vector<double> x1, x2, y, y2;
    int m = 0;
    int n = 0;
    vl::SplineTable2D view() { return {x1.data(), x2.data(), y.data(), y2.data(), m, n, m}; }
};

// C 0..360 and gamma 0..180 with a smooth street-light-like distribution.
Table photometry(int cCount, int gammaCount, double startSlope) {
    Table t;
    t.m = cCount;
    t.n = gammaCount;
    for (int i = 0; i < cCount; ++i) t.x1.push_back(360.0 * i / (cCount - 1));
    for (int k = 0; k < gammaCount; ++k) t.x2.push_back(180.0 * k / (gammaCount - 1));
    t.y.resize(static_cast<std::size_t>(cCount * gammaCount));
    for (int k = 0; k < gammaCount; ++k) {
        for (int i = 0; i < cCount; ++i) {
            const double g = t.x2[static_cast<std::size_t>(k)] * 0.017453292519943295;
            const double c = t.x1[static_cast<std::size_t>(i)] * 0.017453292519943295;
            t.y[static_cast<std::size_t>(i + cCount * k)] = std::max(0.0, 400.0 * std::cos(g) * (1.0 + 0.4 * std::sin(c)));
        }
    }
    t.y2.resize(t.y.size());
    vl::prepareSplineTable2D(t.view(), startSlope);
    return t;
}

Table reflection() {
    Table t;
    t.m = 20;
    t.n = 29;
    const double beta[20] = {0, 2, 5, 10, 15, 20, 25, 30, 35, 40, 45, 60, 75, 90, 105, 120, 135, 150, 165, 180};
    for (double b : beta) t.x1.push_back(b);
    for (int k = 0; k < 29; ++k) t.x2.push_back(k < 25 ? 0.25 * k : 6.0 + 1.5 * (k - 25));
    t.y.resize(20 * 29);
    for (int k = 0; k < 29; ++k) {
        for (int i = 0; i < 20; ++i) {
            t.y[static_cast<std::size_t>(i + 20 * k)] = 650.0 / (1.0 + t.x2[static_cast<std::size_t>(k)]) *
                                                        (1.0 + 0.002 * t.x1[static_cast<std::size_t>(i)]);
        }
    }
    t.y2.resize(t.y.size());
    vl::prepareSplineTable2D(t.view(), 0.0);
    return t;
}

template <bool Literal>
void lookups(benchmark::State& st, Table t, double extrapolation, double columnStart, double columnEnd,
             double span1, double span2) {
    const vl::SplineTable2D view = t.view();
    double a = 0.37;
    double b = 0.11;
    for (auto _ : st) {
        // A cheap quasi-random walk over the table.
        a += 0.6180339887498949;
        if (a >= 1.0) a -= 1.0;
        b += 0.4142135623730951;
        if (b >= 1.0) b -= 1.0;
        double v;
        if constexpr (Literal) {
            v = vl::literal::evaluateTable(view, extrapolation, columnStart, columnEnd, a * span1, b * span2);
        } else {
            v = vl::evaluateSplineTable2D(view, extrapolation, columnStart, columnEnd, a * span1, b * span2);
        }
        benchmark::DoNotOptimize(v);
    }
}

void BM_Intensity25x37(benchmark::State& st) {
    lookups<false>(st, photometry(25, 37, vl::kNaturalEnd), 1e30, 1e30, 1e30, 360.0, 180.0);
}
void BM_Intensity73x181(benchmark::State& st) {
    lookups<false>(st, photometry(73, 181, vl::kNaturalEnd), 1e30, 1e30, 1e30, 360.0, 180.0);
}
void BM_ReducedLuminance20x29(benchmark::State& st) { lookups<false>(st, reflection(), 1e30, 0.0, 0.0, 180.0, 12.0); }
void BM_Intensity25x37Plain(benchmark::State& st) {
    lookups<true>(st, photometry(25, 37, vl::kNaturalEnd), 1e30, 1e30, 1e30, 360.0, 180.0);
}
void BM_Intensity73x181Plain(benchmark::State& st) {
    lookups<true>(st, photometry(73, 181, vl::kNaturalEnd), 1e30, 1e30, 1e30, 360.0, 180.0);
}
void BM_ReducedLuminance20x29Plain(benchmark::State& st) {
    lookups<true>(st, reflection(), 1e30, 0.0, 0.0, 180.0, 12.0);
}

BENCHMARK(BM_Intensity25x37);
BENCHMARK(BM_Intensity73x181);
BENCHMARK(BM_ReducedLuminance20x29);
BENCHMARK(BM_Intensity25x37Plain);
BENCHMARK(BM_Intensity73x181Plain);
BENCHMARK(BM_ReducedLuminance20x29Plain);

}  // namespace
