#include "core/numeric/spline_lanes.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

// The vectors below never cross a function boundary that is not inlined.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace vl::lanes {

namespace {

// Vectors of W doubles (W = 8, 4 or 2: one 512-bit, 256-bit or 128-bit register) and of
// the masks their comparisons give.
template <int W>
struct Vectors {
    typedef double Vec __attribute__((vector_size(W * sizeof(double))));
    typedef long long Mask __attribute__((vector_size(W * sizeof(long long))));
};

template <typename Vec>
[[gnu::always_inline]] inline void load(Vec& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

// A load from a quad, 32-byte aligned.
template <typename Vec>
[[gnu::always_inline]] inline void loadAligned(Vec& v, const double* p) {
    std::memcpy(&v, __builtin_assume_aligned(p, 32), sizeof v);
}

template <typename Vec>
[[gnu::always_inline]] inline void store(double* p, const Vec& v) {
    std::memcpy(p, &v, sizeof v);
}

template <typename Vec>
[[gnu::always_inline]] inline void broadcast(Vec& v, double x) {
    for (std::size_t e = 0; e < sizeof v / sizeof x; ++e) v[e] = x;
}

// The two halves of a butterfly of distance D over a and b (elements 0..W-1 of a, then
// W..2W-1 of b).
template <int W, int D, std::size_t... E>
[[gnu::always_inline]] inline typename Vectors<W>::Vec butterflyLow(const typename Vectors<W>::Vec& a,
                                                                  const typename Vectors<W>::Vec& b,
                                                                  std::index_sequence<E...>) {
    return __builtin_shufflevector(a, b, static_cast<int>((E & D) != 0 ? W + E - D : E)...);
}
template <int W, int D, std::size_t... E>
[[gnu::always_inline]] inline typename Vectors<W>::Vec butterflyHigh(const typename Vectors<W>::Vec& a,
                                                                   const typename Vectors<W>::Vec& b,
                                                                   std::index_sequence<E...>) {
    return __builtin_shufflevector(a, b, static_cast<int>((E & D) != 0 ? W + E : E + D)...);
}

// Transposes W vectors of W elements in place (r[l][e] becomes r[e][l]) by butterflies
// of distance First, 2 First, .. W/2.
template <int W, int First>
[[gnu::always_inline]] inline void butterflies(typename Vectors<W>::Vec* r) {
    if constexpr (First < W) {
        constexpr auto lanes = std::make_index_sequence<W>{};
#pragma GCC unroll 8
        for (int l = 0; l < W; ++l) {
            if ((l & First) != 0) continue;
            const typename Vectors<W>::Vec a = r[l];
            const typename Vectors<W>::Vec b = r[l + First];
            r[l] = butterflyLow<W, First>(a, b, lanes);
            r[l + First] = butterflyHigh<W, First>(a, b, lanes);
        }
        butterflies<W, First * 2>(r);
    }
}

// Row k of W lookups: each lane's quad (y(lo), y(lo+1), y2(lo), y2(lo+1)) at row k,
// turned into four vectors across the lanes.
template <int W>
[[gnu::always_inline]] inline void loadRow(const double* const* quads, int k, typename Vectors<W>::Vec* out) {
    using Vec = typename Vectors<W>::Vec;
    const std::size_t at = static_cast<std::size_t>(k) * 4;
    if constexpr (W == 8) {
        // Lanes l and l+4 side by side, then butterflies of distance 1 and 2.
        using Half = typename Vectors<4>::Vec;
#pragma GCC unroll 4
        for (int l = 0; l < 4; ++l) {
            Half lo, hi;
            loadAligned(lo, quads[l] + at);
            loadAligned(hi, quads[l + 4] + at);
            out[l] = __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7);
        }
        constexpr auto lanes = std::make_index_sequence<8>{};
        const Vec a0 = out[0], a1 = out[1], a2 = out[2], a3 = out[3];
        out[0] = butterflyLow<8, 1>(a0, a1, lanes);
        out[1] = butterflyHigh<8, 1>(a0, a1, lanes);
        out[2] = butterflyLow<8, 1>(a2, a3, lanes);
        out[3] = butterflyHigh<8, 1>(a2, a3, lanes);
        const Vec b0 = out[0], b1 = out[1], b2 = out[2], b3 = out[3];
        out[0] = butterflyLow<8, 2>(b0, b2, lanes);
        out[2] = butterflyHigh<8, 2>(b0, b2, lanes);
        out[1] = butterflyLow<8, 2>(b1, b3, lanes);
        out[3] = butterflyHigh<8, 2>(b1, b3, lanes);
    } else if constexpr (W == 4) {
#pragma GCC unroll 4
        for (int l = 0; l < 4; ++l) loadAligned(out[l], quads[l] + at);
        butterflies<4, 1>(out);
    } else {
        static_assert(W == 2);
        Vec a0, b0, a1, b1;
        loadAligned(a0, quads[0] + at);
        loadAligned(b0, quads[0] + at + 2);
        loadAligned(a1, quads[1] + at);
        loadAligned(b1, quads[1] + at + 2);
        out[0] = __builtin_shufflevector(a0, a1, 0, 2);
        out[1] = __builtin_shufflevector(a0, a1, 1, 3);
        out[2] = __builtin_shufflevector(b0, b1, 0, 2);
        out[3] = __builtin_shufflevector(b0, b1, 1, 3);
    }
}

// Scratch of one block, [i * kBlock + slot]: the row values v, and the column's u, then
// its second derivatives w.
constexpr int kAlong = kMaxSplinePoints;

template <int W>
[[gnu::always_inline]] inline void solve(const LaneTable& t, const LaneLookup* block, int count,
                                         const EqualAbscissae& onEqual) {
    using Vec = typename Vectors<W>::Vec;
    using Mask = typename Vectors<W>::Mask;
    constexpr int kGroupsOfW = kBlock / W;
    const int n = t.n;
    const ColumnPlan& plan = *t.plan;
    alignas(64) double values[kAlong * kBlock];
    alignas(64) double column[kAlong * kBlock];
    Vec zero;
    broadcast(zero, 0.0);

    // The weights of the bracket along x1, W lookups at a time: a = (x1(hi) - x1c) / h,
    // b = (x1c - x1(lo)) / h, a^3 - a, b^3 - b, h^2, and the growth beyond the last knot.
    alignas(64) double weights[6][kBlock];
    alignas(64) long long beyond[kBlock];
    const double* quads[kBlock];
    for (int first = 0; first < kBlock; first += W) {
        alignas(64) double lo[W], hi[W], xc[W], xq[W];
        for (int l = 0; l < W; ++l) {
            const LaneLookup& q = block[std::min(first + l, count - 1)];
            lo[l] = t.x1[q.lo1];
            hi[l] = t.x1[q.lo1 + 1];
            xc[l] = q.x1c;
            xq[l] = q.lookup->x1;
            beyond[first + l] = q.extrapolate ? -1 : 0;
            quads[first + l] = t.quads + static_cast<std::size_t>(q.lo1) * static_cast<std::size_t>(n) * 4;
        }
        Vec vlo, vhi, vxc, vxq;
        load(vlo, lo);
        load(vhi, hi);
        load(vxc, xc);
        load(vxq, xq);
        const Vec h = vhi - vlo;
        const Vec a = (vhi - vxc) / h;
        const Vec b = (vxc - vlo) / h;
        store(weights[0] + first, a);
        store(weights[1] + first, b);
        store(weights[2] + first, a * a * a - a);
        store(weights[3] + first, b * b * b - b);
        store(weights[4] + first, h * h);
        store(weights[5] + first, (vxq - vxc) * t.extrapolationSlope);
    }

    // Down the column, one lookup per lane and the groups side by side: the row values
    // a y(lo) + b y(hi) + (ca y2(lo) + cb y2(hi)) hh / 6, the difference quotients
    // s = (v(i+1) - v(i)) / (x(i+1) - x(i)) and the forward elimination
    // u(i) = (6 (s(i) - s(i-1)) / (x(i+1) - x(i-1)) - sig(i) u(i-1)) / p(i).
    const auto rowValues = [&](int g, int k, Vec& v) {
        Vec y[4];
        loadRow<W>(quads + g * W, k, y);
        Vec a, b, ca, cb, hh, e;
        load(a, weights[0] + g * W);
        load(b, weights[1] + g * W);
        load(ca, weights[2] + g * W);
        load(cb, weights[3] + g * W);
        load(hh, weights[4] + g * W);
        load(e, weights[5] + g * W);
        Mask grows;
        std::memcpy(&grows, beyond + g * W, sizeof grows);
        v = (a * y[0] + b * y[1]) + ((ca * y[2] + cb * y[3]) * hh) / 6.0;
        v = grows != 0 ? v + e : v;
        store(values + k * kBlock + g * W, v);
    };
    Vec vBefore[kGroupsOfW];
    Vec sBefore[kGroupsOfW];
    Vec u[kGroupsOfW];
#pragma GCC unroll 8
    for (int g = 0; g < kGroupsOfW; ++g) {
        rowValues(g, 0, vBefore[g]);
        Vec v;
        rowValues(g, 1, v);
        sBefore[g] = (v - vBefore[g]) / plan.dx[0];
        vBefore[g] = v;
        u[g] = plan.naturalStart ? zero : plan.startFactor * (sBefore[g] - t.columnStartSlope);
        store(column + g * W, u[g]);
    }
    for (int i = 1; i + 1 < n; ++i) {
        const double dx = plan.dx[static_cast<std::size_t>(i)];
        const double span = plan.span[static_cast<std::size_t>(i)];
        const double sig = plan.sig[static_cast<std::size_t>(i)];
        const double p = plan.p[static_cast<std::size_t>(i)];
#pragma GCC unroll 8
        for (int g = 0; g < kGroupsOfW; ++g) {
            Vec v;
            rowValues(g, i + 1, v);
            const Vec s = (v - vBefore[g]) / dx;
            u[g] = ((6.0 * (s - sBefore[g])) / span - sig * u[g]) / p;
            store(column + i * kBlock + g * W, u[g]);
            vBefore[g] = v;
            sBefore[g] = s;
        }
    }
    // The end condition and the back substitution down to the lowest bracket.
    const bool naturalEnd = t.columnEndSlope > 9.9e29;
    const double qn = naturalEnd ? 0.0 : 0.5;
    const double endDenominator = qn * plan.diag[static_cast<std::size_t>(n - 2)] + 1.0;
    Vec w[kGroupsOfW];
#pragma GCC unroll 8
    for (int g = 0; g < kGroupsOfW; ++g) {
        const Vec un = naturalEnd ? zero : plan.endFactor * (t.columnEndSlope - sBefore[g]);
        w[g] = (un - qn * u[g]) / endDenominator;
        store(column + (n - 1) * kBlock + g * W, w[g]);
    }
    int lowest = n - 1;
    for (int slot = 0; slot < count; ++slot) {
        for (int s = 0; s < 2; ++s) {
            if (block[slot].lo2[s] >= 0) lowest = std::min(lowest, block[slot].lo2[s]);
        }
    }
    for (int k = n - 2; k >= lowest; --k) {
        const double d = plan.diag[static_cast<std::size_t>(k)];
        double* row = column + k * kBlock;
#pragma GCC unroll 8
        for (int g = 0; g < kGroupsOfW; ++g) {
            Vec r;
            load(r, row + g * W);
            w[g] = d * w[g] + r;
            store(row + g * W, w[g]);
        }
    }

    // Each value from its bracket on the column, W lookups at a time.
    const double* x2 = t.x2;
    for (int s = 0; s < 2; ++s) {
        for (int first = 0; first < count; first += W) {
            alignas(64) double xLo[W], xHi[W], xc[W], vLo[W], vHi[W], wLo[W], wHi[W], out[W];
            bool any = false;
            for (int l = 0; l < W; ++l) {
                const LaneLookup& q = block[std::min(first + l, count - 1)];
                any = any || q.lo2[s] >= 0;
                const int lo = std::max(q.lo2[s], 0);
                xLo[l] = x2[lo];
                xHi[l] = x2[lo + 1];
                xc[l] = q.x2c[s];
                vLo[l] = values[lo * kBlock + first + l];
                vHi[l] = values[(lo + 1) * kBlock + first + l];
                wLo[l] = column[lo * kBlock + first + l];
                wHi[l] = column[(lo + 1) * kBlock + first + l];
            }
            if (!any) continue;
            Vec lo, hi, x, vl, vh, wl, wh;
            load(lo, xLo);
            load(hi, xHi);
            load(x, xc);
            load(vl, vLo);
            load(vh, vHi);
            load(wl, wLo);
            load(wh, wHi);
            const Vec h = hi - lo;
            const Vec a = (hi - x) / h;
            const Vec b = (x - lo) / h;
            const Vec value = a * vl + b * vh + ((a * a * a - a) * wl + (b * b * b - b) * wh) * (h * h) / 6.0;
            store(out, value);
            for (int l = 0; l < W && first + l < count; ++l) {
                const LaneLookup& q = block[first + l];
                if (q.lo2[s] < 0) continue;
                double v = out[l];
                if (xHi[l] - xLo[l] == 0.0) {
                    // Two equal abscissae: reported, and the mean of their values.
                    if (onEqual) onEqual();
                    v = (vLo[l] + vHi[l]) / 2.0;
                }
                if (s == 0) {
                    q.lookup->value = v;
                } else {
                    q.lookup->valueSecond = v;
                }
            }
        }
    }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx512f"))) void solveAvx512(const LaneTable& t, const LaneLookup* block, int count,
                                                     const EqualAbscissae& onEqual) {
    solve<8>(t, block, count, onEqual);
}

__attribute__((target("avx2"))) void solveAvx2(const LaneTable& t, const LaneLookup* block, int count,
                                               const EqualAbscissae& onEqual) {
    solve<4>(t, block, count, onEqual);
}
#endif

void solvePortable(const LaneTable& t, const LaneLookup* block, int count, const EqualAbscissae& onEqual) {
    solve<2>(t, block, count, onEqual);
}

}  // namespace

void solveBlock(InstructionSet set, const LaneTable& table, const LaneLookup* block, int count,
                const EqualAbscissae& onEqual) {
    switch (set) {
#if defined(__x86_64__) || defined(__i386__)
        case InstructionSet::Avx512:
            solveAvx512(table, block, count, onEqual);
            return;
        case InstructionSet::Avx2:
            solveAvx2(table, block, count, onEqual);
            return;
#endif
        default:
            solvePortable(table, block, count, onEqual);
            return;
    }
}

}  // namespace vl::lanes
