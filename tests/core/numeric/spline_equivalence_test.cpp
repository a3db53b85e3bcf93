// The production spline operations against the plain transcription, bit for bit, on
// the bundled road surface table, the bundled photometry and synthetic tables.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/numeric/spline_literal.hpp"
#include "readers/text_input.hpp"

namespace vl {
namespace {

std::string bundled(const std::string& name) { return std::string(VL_BUNDLED_DATA_DIR) + "/" + name; }

struct OwnedTable {
    std::vector<double> x1, x2, y, y2, y2Literal;
    int m = 0;
    int n = 0;
    int ld = 0;
    SplineTable2D view() { return {x1.data(), x2.data(), y.data(), y2.data(), m, n, ld}; }
    SplineTable2D literalView() { return {x1.data(), x2.data(), y.data(), y2Literal.data(), m, n, ld}; }
};

// The bundled surface table: beta is the first axis, ld 20.
OwnedTable surfaceC2() {
    InputFile file(bundled("SRT_C2"));
    for (int line = 1; line <= 10; ++line) file.readText(80);
    for (int line = 11; line <= 13; ++line) file.readReal();
    OwnedTable t;
    t.m = file.readInteger();
    t.n = file.readInteger();
    file.readReal();
    t.ld = 20;
    for (int i = 0; i < t.m; ++i) t.x1.push_back(file.readReal());
    for (int k = 0; k < t.n; ++k) t.x2.push_back(file.readReal());
    t.y.assign(static_cast<std::size_t>(t.ld * t.n), 0.0);
    for (int i = 0; i < t.m; ++i) {
        for (int k = 0; k < t.n; ++k) t.y[static_cast<std::size_t>(i + t.ld * k)] = file.readReal();
    }
    t.y2.assign(t.y.size(), 0.0);
    t.y2Literal = t.y2;
    return t;
}

// A full-sphere photometry (Isym 0, 72 planes of 181 gammas; the earlier default luminaire)
// with its closing 360 plane.
OwnedTable photometry() {
    InputFile file(std::string(VL_TEST_DATA_DIR) + "/ldt/derived/strada_nogap.ldt");
    for (int line = 1; line <= 42; ++line) file.nextLine();
    const int planes = 72;
    const int gammas = 181;
    OwnedTable t;
    for (int i = 0; i < planes; ++i) t.x1.push_back(file.readReal());
    t.x1.push_back(360.0);
    for (int k = 0; k < gammas; ++k) t.x2.push_back(file.readReal());
    t.m = planes + 1;
    t.n = gammas;
    t.ld = t.m;
    t.y.assign(static_cast<std::size_t>(t.m * t.n), 0.0);
    for (int i = 0; i < planes; ++i) {
        for (int k = 0; k < gammas; ++k) t.y[static_cast<std::size_t>(i + t.ld * k)] = file.readReal();
    }
    for (int k = 0; k < gammas; ++k) t.y[static_cast<std::size_t>(planes + t.ld * k)] = t.y[static_cast<std::size_t>(t.ld * k)];
    t.y2.assign(t.y.size(), 0.0);
    t.y2Literal = t.y2;
    return t;
}

// Irregular axes and rough values, with padding rows beyond m.
OwnedTable synthetic(int m, int n, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> step(0.1, 3.0);
    std::uniform_real_distribution<double> value(-50.0, 500.0);
    OwnedTable t;
    t.m = m;
    t.n = n;
    t.ld = m + 3;
    double a = -2.0;
    for (int i = 0; i < m; ++i) t.x1.push_back(a += step(gen));
    double b = 0.0;
    for (int k = 0; k < n; ++k) t.x2.push_back(b += step(gen));
    t.y.resize(static_cast<std::size_t>(t.ld * n));
    for (double& v : t.y) v = value(gen);
    t.y2.assign(t.y.size(), 0.0);
    t.y2Literal = t.y2;
    return t;
}

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

struct Slopes {
    double prepare, extrapolation, columnStart, columnEnd;
};

// Random queries over and beyond both axes, plus every knot pair.
void expectIdentical(OwnedTable& t, const Slopes& s, std::uint32_t seed, int queries) {
    prepareSplineTable2D(t.view(), s.prepare);
    literal::prepareTable(t.literalView(), s.prepare);
    for (std::size_t j = 0; j < t.y2.size(); ++j) {
        ASSERT_TRUE(sameBits(t.y2[j], t.y2Literal[j])) << "second derivative " << j;
    }
    const SplineTable2D fast = t.view();
    const SplineTable2D plain = t.literalView();
    std::mt19937 gen(seed);
    const double span1 = t.x1.back() - t.x1.front();
    const double span2 = t.x2.back() - t.x2.front();
    std::uniform_real_distribution<double> q1(t.x1.front() - 0.1 * span1, t.x1.back() + 0.1 * span1);
    std::uniform_real_distribution<double> q2(t.x2.front() - 0.1 * span2, t.x2.back() + 0.1 * span2);
    for (int q = 0; q < queries; ++q) {
        const double a = q1(gen);
        const double b = q2(gen);
        const double got = evaluateSplineTable2D(fast, s.extrapolation, s.columnStart, s.columnEnd, a, b);
        const double want = literal::evaluateTable(plain, s.extrapolation, s.columnStart, s.columnEnd, a, b);
        ASSERT_TRUE(sameBits(got, want)) << a << " " << b << ": " << got << " vs " << want;
    }
    for (int i = 0; i < t.m; i += 3) {
        for (int k = 0; k < t.n; k += 2) {
            const double got =
                evaluateSplineTable2D(fast, s.extrapolation, s.columnStart, s.columnEnd, t.x1[i], t.x2[k]);
            const double want =
                literal::evaluateTable(plain, s.extrapolation, s.columnStart, s.columnEnd, t.x1[i], t.x2[k]);
            ASSERT_TRUE(sameBits(got, want)) << "knot " << i << " " << k;
        }
    }
}

const Slopes kIntensity{kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd};
const Slopes kReflection{0.0, kNaturalEnd, 0.0, 0.0};

TEST(SplineEquivalence, BundledSurfaceTable) {
    OwnedTable t = surfaceC2();
    ASSERT_EQ(t.m, 20);
    ASSERT_EQ(t.n, 29);
    expectIdentical(t, kReflection, 11U, 20000);
}

TEST(SplineEquivalence, BundledPhotometry) {
    OwnedTable t = photometry();
    ASSERT_EQ(t.x1[1], 5.0);
    ASSERT_EQ(t.x2.back(), 180.0);
    expectIdentical(t, kIntensity, 12U, 3000);
}

TEST(SplineEquivalence, SyntheticTablesWithGivenSlopes) {
    OwnedTable small = synthetic(2, 2, 1U);
    expectIdentical(small, {1.5, -3.0, 2.0, -1.0}, 21U, 2000);
    OwnedTable mixed = synthetic(25, 37, 2U);
    expectIdentical(mixed, {kNaturalEnd, 4.0, 0.0, kNaturalEnd}, 22U, 5000);
    expectIdentical(mixed, {0.0, kNaturalEnd, kNaturalEnd, 0.0}, 23U, 5000);
    OwnedTable full = synthetic(200, 200, 3U);
    expectIdentical(full, kIntensity, 24U, 500);
}

TEST(SplineEquivalence, InterleavedTablesAndAnAxisChangedInPlace) {
    // Alternating lookups on two tables, then a second axis rewritten under the same
    // storage: every answer must follow the axis as it is now.
    OwnedTable a = synthetic(25, 37, 5U);
    OwnedTable b = surfaceC2();
    prepareSplineTable2D(a.view(), kNaturalEnd);
    literal::prepareTable(a.literalView(), kNaturalEnd);
    prepareSplineTable2D(b.view(), 0.0);
    literal::prepareTable(b.literalView(), 0.0);
    std::mt19937 gen(7U);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int round = 0; round < 3; ++round) {
        for (int q = 0; q < 300; ++q) {
            const double fa = u(gen);
            const double fb = u(gen);
            const double a1 = a.x1.front() + fa * (a.x1.back() - a.x1.front());
            const double a2 = a.x2.front() + fb * (a.x2.back() - a.x2.front());
            EXPECT_TRUE(sameBits(evaluateSplineTable2D(a.view(), 1.0, kNaturalEnd, kNaturalEnd, a1, a2),
                                 literal::evaluateTable(a.literalView(), 1.0, kNaturalEnd, kNaturalEnd, a1, a2)));
            const double b1 = 180.0 * fa;
            const double b2 = 12.0 * fb;
            EXPECT_TRUE(sameBits(evaluateSplineTable2D(b.view(), kNaturalEnd, 0.0, 0.0, b1, b2),
                                 literal::evaluateTable(b.literalView(), kNaturalEnd, 0.0, 0.0, b1, b2)));
        }
        for (double& x : a.x2) x = x * 1.25 + 0.5;  // same storage, new axis
    }
}

TEST(SplineEquivalence, ConcurrentLookupsOnDifferentAxes) {
    // Grid workers look tables up from several threads at once.
    OwnedTable a = synthetic(25, 37, 31U);
    OwnedTable b = synthetic(20, 29, 32U);
    for (OwnedTable* t : {&a, &b}) {
        prepareSplineTable2D(t->view(), kNaturalEnd);
        literal::prepareTable(t->literalView(), kNaturalEnd);
    }
    auto work = [](OwnedTable& t, std::uint32_t seed, int& mismatches) {
        std::mt19937 gen(seed);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        for (int q = 0; q < 4000; ++q) {
            const double x1q = t.x1.front() + u(gen) * (t.x1.back() - t.x1.front());
            const double x2q = t.x2.front() + u(gen) * (t.x2.back() - t.x2.front());
            // Alternate the column start so that each thread keeps switching plans.
            const double start = (q % 2 == 0) ? kNaturalEnd : 0.0;
            if (!sameBits(evaluateSplineTable2D(t.view(), 1.0, start, kNaturalEnd, x1q, x2q),
                          literal::evaluateTable(t.literalView(), 1.0, start, kNaturalEnd, x1q, x2q))) {
                ++mismatches;
            }
        }
    };
    int mismatchesA = 0;
    int mismatchesB = 0;
    std::thread first(work, std::ref(a), 41U, std::ref(mismatchesA));
    std::thread second(work, std::ref(b), 42U, std::ref(mismatchesB));
    first.join();
    second.join();
    EXPECT_EQ(mismatchesA, 0);
    EXPECT_EQ(mismatchesB, 0);
}

TEST(SplineEquivalence, OneDimensionalOperations) {
    std::mt19937 gen(9U);
    std::uniform_real_distribution<double> step(0.01, 2.0);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (int n : {2, 3, 19, 36, 200}) {
        std::vector<double> x, y;
        double at = 0.0;
        for (int i = 0; i < n; ++i) {
            x.push_back(at += step(gen));
            y.push_back(value(gen));
        }
        for (double s0 : {kNaturalEnd, 0.0, 2.5}) {
            for (double s1 : {kNaturalEnd, 0.0, -1.0}) {
                std::vector<double> y2(static_cast<std::size_t>(n)), y2l(static_cast<std::size_t>(n));
                prepareSpline(x.data(), y.data(), n, s0, s1, y2.data());
                literal::prepare(x.data(), y.data(), n, s0, s1, y2l.data());
                for (int i = 0; i < n; ++i) ASSERT_TRUE(sameBits(y2[i], y2l[i])) << n << " " << i;
                std::uniform_real_distribution<double> q(x.front() - 1.0, x.back() + 1.0);
                for (int k = 0; k < 200; ++k) {
                    const double xq = q(gen);
                    ASSERT_TRUE(sameBits(evaluateSpline(x.data(), y.data(), y2.data(), n, xq),
                                         literal::evaluate(x.data(), y.data(), y2l.data(), n, xq)));
                }
            }
        }
    }
}

}  // namespace
}  // namespace vl
