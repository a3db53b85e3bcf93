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

// Vectors of W doubles (W = 8, 4 or 2: one 512-bit, 256-bit or 128-bit register) and the
// index vectors of their shuffles.
template <int W>
struct Vectors {
    typedef double Vec __attribute__((vector_size(W * sizeof(double))));
    typedef long long Mask __attribute__((vector_size(W * sizeof(long long))));
};

template <typename Vec>
[[gnu::always_inline]] inline void load(Vec& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

template <typename Vec>
[[gnu::always_inline]] inline void store(double* p, const Vec& v) {
    std::memcpy(p, &v, sizeof v);
}

template <typename Vec>
[[gnu::always_inline]] inline void broadcast(Vec& v, double x) {
    for (std::size_t e = 0; e < sizeof v / sizeof x; ++e) v[e] = x;
}

// Index vectors: element e + 1 of the pair (the next row), element W - 1 + e (the
// previous row), and the two halves of a butterfly of distance D.
template <int W, std::size_t... E>
constexpr typename Vectors<W>::Mask nextMask(std::index_sequence<E...>) {
    return typename Vectors<W>::Mask{static_cast<long long>(E + 1)...};
}
template <int W, std::size_t... E>
constexpr typename Vectors<W>::Mask previousMask(std::index_sequence<E...>) {
    return typename Vectors<W>::Mask{static_cast<long long>(W - 1 + E)...};
}
template <int W, int D, std::size_t... E>
constexpr typename Vectors<W>::Mask lowMask(std::index_sequence<E...>) {
    return typename Vectors<W>::Mask{static_cast<long long>((E & D) != 0 ? W + E - D : E)...};
}
template <int W, int D, std::size_t... E>
constexpr typename Vectors<W>::Mask highMask(std::index_sequence<E...>) {
    return typename Vectors<W>::Mask{static_cast<long long>((E & D) != 0 ? W + E : E + D)...};
}

// Transposes W vectors of W elements in place (r[l][e] becomes r[e][l]) by butterflies
// of distance 1, 2, .. W/2.
template <int W, int D>
[[gnu::always_inline]] inline void butterflies(typename Vectors<W>::Vec* r) {
    if constexpr (D < W) {
        constexpr auto low = lowMask<W, D>(std::make_index_sequence<W>{});
        constexpr auto high = highMask<W, D>(std::make_index_sequence<W>{});
        for (int l = 0; l < W; ++l) {
            if ((l & D) != 0) continue;
            const typename Vectors<W>::Vec a = r[l];
            const typename Vectors<W>::Vec b = r[l + D];
            r[l] = __builtin_shuffle(a, b, low);
            r[l + D] = __builtin_shuffle(a, b, high);
        }
        butterflies<W, D * 2>(r);
    }
}

// Scratch of one block: each lookup's row values and slopes along the column (padded to
// whole vectors), and the block's column, [i * kBlock + slot]: the right-hand sides of
// the elimination, then its u, then the second derivatives w.
constexpr int kAlong = kMaxSplinePoints + 2 * kLanes;

template <int W, int Chunks>
[[gnu::always_inline]] inline void solve(const LaneTable& t, const LaneLookup* block, int count,
                                         const EqualAbscissae& onEqual) {
    using Vec = typename Vectors<W>::Vec;
    constexpr int kGroupsOfW = kBlock / W;
    const int n = t.n;
    const int np = t.paddedN;
    const ColumnPlan& plan = *t.plan;
    alignas(64) double column[kAlong * kBlock];
    alignas(64) double values[W][kAlong];
    alignas(64) double slopes[W][kAlong];
    alignas(64) double firstSlope[kBlock];
    alignas(64) double lastSlope[kBlock];
    alignas(64) double bracketValues[4][kBlock];  // v(lo), v(hi) of the value, then of the second
    Vec zero;
    broadcast(zero, 0.0);

    // The weights of the bracket along x1, W lookups at a time: a = (x1(hi) - x1c) / h,
    // b = (x1c - x1(lo)) / h, a^3 - a, b^3 - b, h^2, and the growth beyond the last knot.
    alignas(64) double weights[6][kBlock];
    for (int first = 0; first < kBlock; first += W) {
        alignas(64) double lo[W], hi[W], xc[W], xq[W];
        for (int l = 0; l < W; ++l) {
            const LaneLookup& q = block[std::min(first + l, count - 1)];
            lo[l] = t.x1[q.lo1];
            hi[l] = t.x1[q.lo1 + 1];
            xc[l] = q.x1c;
            xq[l] = q.lookup->x1;
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

    // Along the column, W lookups at a time, W consecutive rows at a time: row values,
    // difference quotients and right-hand sides, the neighbours v(i+1) and s(i-1)
    // shifted in from the adjacent vectors; the W right-hand-side vectors are transposed
    // into the column, one row of W lanes each.
    constexpr auto next = nextMask<W>(std::make_index_sequence<W>{});
    constexpr auto previous = previousMask<W>(std::make_index_sequence<W>{});
    // A column of at most 32 rows is unrolled whole.
    const int chunks = Chunks > 0 ? Chunks : np / W;
    alignas(64) double rhs[kAlong * W];  // a group's right-hand sides, vector (chunk, lookup) at [(c * W + l) * W]
    for (int first = 0; first < kBlock; first += W) {
        for (int l = 0; l < W; ++l) {
            const int slot = first + l;
            const LaneLookup& p = block[std::min(slot, count - 1)];
            const double* yLo = t.rows + p.lo1 * np;
            const double* y2Lo = t.second + p.lo1 * np;
            const double a = weights[0][slot];
            const double b = weights[1][slot];
            const double ca = weights[2][slot];
            const double cb = weights[3][slot];
            const double hh = weights[4][slot];
            const bool extrapolate = p.extrapolate;
            const double extrapolation = weights[5][slot];
            // Row values a y(lo) + b y(hi) + (ca y2(lo) + cb y2(hi)) hh / 6 of rows k .. k+W-1.
            const auto rowValues = [&](int k, Vec& v) {
                Vec yl, yh, y2l, y2h;
                load(yl, yLo + k);
                load(yh, yLo + np + k);
                load(y2l, y2Lo + k);
                load(y2h, y2Lo + np + k);
                v = (a * yl + b * yh) + ((ca * y2l + cb * y2h) * hh) / 6.0;
                if (extrapolate) v = v + extrapolation;
            };
            Vec vBefore;
            rowValues(0, vBefore);
            Vec sBefore = zero;
            double* valuesOf = values[l];
            double* slopesOf = slopes[l];
            // Of the slopes only the first and the last are kept (at the same chunks for
            // every lookup of the table).
            const int lastSlopeChunk = (n - 2) / W + 1;
            for (int c = 1; c <= chunks; ++c) {
                const int i = (c - 1) * W;
                Vec v = zero;
                if (c < chunks) rowValues(c * W, v);
                store(valuesOf + i, vBefore);
                Vec dx, span;
                load(dx, t.dx + i);
                load(span, t.span + i);
                // (v(i+1) - v(i)) / (x(i+1) - x(i))
                const Vec s = (__builtin_shuffle(vBefore, v, next) - vBefore) / dx;
                if (c == 1 || c == lastSlopeChunk) store(slopesOf + i, s);
                // 6 (s(i) - s(i-1)) / (x(i+1) - x(i-1))
                const Vec r = (6.0 * (s - __builtin_shuffle(sBefore, s, previous))) / span;
                store(rhs + ((c - 1) * W + l) * W, r);
                vBefore = v;
                sBefore = s;
            }
            for (int k = 0; k < 2; ++k) {
                const int lo = std::max(p.lo2[k], 0);
                bracketValues[2 * k][slot] = valuesOf[lo];
                bracketValues[2 * k + 1][slot] = valuesOf[lo + 1];
            }
            firstSlope[slot] = slopesOf[0];
            lastSlope[slot] = slopesOf[n - 2];
        }
        for (int c = 0; c < chunks; ++c) {
            Vec r[W];
            for (int l = 0; l < W; ++l) load(r[l], rhs + (c * W + l) * W);
            butterflies<W, 1>(r);
            for (int e = 0; e < W; ++e) store(column + (c * W + e) * kBlock + first, r[e]);
        }
    }

    // The forward elimination, one lookup per lane, the groups side by side.
    Vec u[kGroupsOfW];
    for (int g = 0; g < kGroupsOfW; ++g) {
        if (plan.naturalStart) {
            u[g] = zero;
        } else {
            load(u[g], firstSlope + g * W);
            u[g] = plan.startFactor * (u[g] - t.columnStartSlope);
        }
        store(column + g * W, u[g]);
    }
    for (int i = 1; i < n - 1; ++i) {
        const double sig = plan.sig[i];
        const double p = plan.p[i];
        double* row = column + i * kBlock;
        for (int g = 0; g < kGroupsOfW; ++g) {
            Vec r;
            load(r, row + g * W);
            u[g] = (r - sig * u[g]) / p;
            store(row + g * W, u[g]);
        }
    }
    // The end condition and the back substitution down to the lowest bracket.
    const bool naturalEnd = t.columnEndSlope > 9.9e29;
    const double qn = naturalEnd ? 0.0 : 0.5;
    const double endDenominator = qn * plan.diag[n - 2] + 1.0;
    Vec w[kGroupsOfW];
    for (int g = 0; g < kGroupsOfW; ++g) {
        Vec un = zero;
        if (!naturalEnd) {
            load(un, lastSlope + g * W);
            un = plan.endFactor * (t.columnEndSlope - un);
        }
        Vec before;
        load(before, column + (n - 2) * kBlock + g * W);
        w[g] = (un - qn * before) / endDenominator;
        store(column + (n - 1) * kBlock + g * W, w[g]);
    }
    int lowest = n - 1;
    for (int slot = 0; slot < count; ++slot) {
        for (int s = 0; s < 2; ++s) {
            if (block[slot].lo2[s] >= 0) lowest = std::min(lowest, block[slot].lo2[s]);
        }
    }
    for (int k = n - 2; k >= lowest; --k) {
        const double d = plan.diag[k];
        double* row = column + k * kBlock;
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
            alignas(64) double xLo[W], xHi[W], xc[W], wLo[W], wHi[W], out[W];
            for (int l = 0; l < W; ++l) {
                const LaneLookup& q = block[std::min(first + l, count - 1)];
                const int lo = std::max(q.lo2[s], 0);
                xLo[l] = x2[lo];
                xHi[l] = x2[lo + 1];
                xc[l] = q.x2c[s];
                wLo[l] = column[lo * kBlock + first + l];
                wHi[l] = column[(lo + 1) * kBlock + first + l];
            }
            Vec lo, hi, x, vl, vh, wl, wh;
            load(lo, xLo);
            load(hi, xHi);
            load(x, xc);
            load(vl, bracketValues[2 * s] + first);
            load(vh, bracketValues[2 * s + 1] + first);
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
                    v = (bracketValues[2 * s][first + l] + bracketValues[2 * s + 1][first + l]) / 2.0;
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
    if (t.paddedN == 32) {
        solve<8, 4>(t, block, count, onEqual);
    } else {
        solve<8, 0>(t, block, count, onEqual);
    }
}

__attribute__((target("avx2"))) void solveAvx2(const LaneTable& t, const LaneLookup* block, int count,
                                               const EqualAbscissae& onEqual) {
    solve<4, 0>(t, block, count, onEqual);
}
#endif

void solvePortable(const LaneTable& t, const LaneLookup* block, int count, const EqualAbscissae& onEqual) {
    solve<2, 0>(t, block, count, onEqual);
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
