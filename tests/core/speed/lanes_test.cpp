// Batched table lookups in vector lanes against the literal scalar evaluation, bit for
// bit, on every instruction set this processor runs (each one forced in turn): the
// bundled and test photometries, every surface class, and synthetic tables up to 200 x 200.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/numeric/spline_literal.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;

// Equal bits, or both NaN (a NaN prints as NaN whatever its payload).
bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

struct Table {
    std::string name;
    std::vector<double> x1, x2, y;
    int m = 0, n = 0, ld = 0;
    double rowStart = 0, columnStart = 0, extrapolation = 0, columnEnd = 0;
};

Table fromPhotometry(const std::string& path) {
    EulumdatFile file;
    readEulumdat(path, file);
    const PhotometryTable& p = file.table;
    return {fs::path(path).filename().string(), p.cAngles, p.gammaAngles, p.intensity, p.cCount, p.gammaCount,
            p.cCount, kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd};
}

Table fromSurface(const std::string& path) {
    SurfaceTableFile file;
    readSurfaceTable(path, file);
    const ReducedLuminanceTable& r = file.table;
    return {fs::path(path).filename().string(),
            {r.betaAngles.begin(), r.betaAngles.end()},
            {r.tanGamma.begin(), r.tanGamma.end()},
            {r.rValues.begin(), r.rValues.end()},
            r.betaCount, r.tanGammaCount, kMaxBeta, 0.0, 0.0, kNaturalEnd, 0.0};
}

enum class Axes { Ascending, TwoEqual, OneOutOfOrder };

// Irregular axes (with two equal abscissae, or a knot out of order) and rough values.
Table synthetic(int m, int n, std::uint32_t seed, double rowStart, double columnStart, double extrapolation,
                double columnEnd, Axes axes = Axes::Ascending) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> step(0.1, 3.0);
    std::uniform_real_distribution<double> value(-50.0, 500.0);
    Table t{"synthetic " + std::to_string(m) + "x" + std::to_string(n), {}, {}, {}, m, n, m + 3,
            rowStart, columnStart, extrapolation, columnEnd};
    double a = -2.0;
    for (int i = 0; i < m; ++i) t.x1.push_back(a += step(gen));
    double b = 0.0;
    for (int k = 0; k < n; ++k) t.x2.push_back(b += step(gen));
    if (axes == Axes::TwoEqual) {
        t.x1[static_cast<std::size_t>(m / 2)] = t.x1[static_cast<std::size_t>(m / 2 - 1)];
        t.x2[static_cast<std::size_t>(n / 2)] = t.x2[static_cast<std::size_t>(n / 2 - 1)];
    }
    if (axes == Axes::OneOutOfOrder) {
        std::swap(t.x1[static_cast<std::size_t>(m / 2)], t.x1[static_cast<std::size_t>(m / 2 - 1)]);
        std::swap(t.x2[static_cast<std::size_t>(n / 3)], t.x2[static_cast<std::size_t>(n / 3 + 1)]);
    }
    t.y.resize(static_cast<std::size_t>(t.ld * n));
    for (double& v : t.y) v = value(gen);
    return t;
}

// Random queries over and beyond both axes, the knots, and a second value for some.
std::vector<TableLookup> queries(const Table& t, std::uint32_t seed, int count) {
    std::mt19937 gen(seed);
    const double span1 = t.x1[static_cast<std::size_t>(t.m - 1)] - t.x1[0];
    const double span2 = t.x2[static_cast<std::size_t>(t.n - 1)] - t.x2[0];
    std::uniform_real_distribution<double> q1(t.x1[0] - 0.1 * span1, t.x1[static_cast<std::size_t>(t.m - 1)] + 0.1 * span1);
    std::uniform_real_distribution<double> q2(t.x2[0] - 0.1 * span2, t.x2[static_cast<std::size_t>(t.n - 1)] + 0.1 * span2);
    std::vector<TableLookup> batch;
    for (int q = 0; q < count; ++q) {
        TableLookup l;
        l.x1 = q % 7 == 0 ? t.x1[static_cast<std::size_t>(q % t.m)] : q1(gen);
        l.x2 = q % 5 == 0 ? t.x2[static_cast<std::size_t>(q % t.n)] : q2(gen);
        l.second = q % 3 != 0;
        l.x2Second = q2(gen);
        batch.push_back(l);
    }
    return batch;
}

// Every set's batch against the literal evaluation; equal-abscissae reports counted
// against the one-by-one evaluation.
void expectIdentical(const Table& t, int count, std::uint32_t seed) {
    SCOPED_TRACE(t.name);
    // The literal evaluation reports equal abscissae on the console and pauses.
    setConsoleSink([](std::string_view) {});
    setConsolePause([] {});
    const PreparedSplineTable2D prepared(t.x1.data(), t.x2.data(), t.y.data(), t.m, t.n, t.ld, t.rowStart,
                                         t.columnStart);
    std::vector<double> y2(t.y.size(), 0.0);
    const SplineTable2D literalView{t.x1.data(), t.x2.data(), t.y.data(), y2.data(), t.m, t.n, t.ld};
    literal::prepareTable(literalView, t.rowStart);
    const std::vector<TableLookup> asked = queries(t, seed, count);
    int scalarReports = 0;
    std::vector<TableLookup> scalar = asked;
    prepared.evaluateMany(t.extrapolation, t.columnEnd, scalar, [&] { ++scalarReports; }, InstructionSet::Scalar);
    for (std::size_t q = 0; q < asked.size(); ++q) {
        const TableLookup& l = scalar[q];
        ASSERT_TRUE(same(l.value, literal::evaluateTable(literalView, t.extrapolation, t.columnStart, t.columnEnd,
                                                         l.x1, l.x2)))
            << "query " << q;
        if (l.second) {
            ASSERT_TRUE(same(l.valueSecond, literal::evaluateTable(literalView, t.extrapolation, t.columnStart,
                                                                   t.columnEnd, l.x1, l.x2Second)))
                << "second of query " << q;
        }
    }
    for (const InstructionSet set : supportedInstructionSets()) {
        SCOPED_TRACE(instructionSetName(set));
        // Batches of one, of a block and one more, and all at once.
        for (const std::size_t size : {std::size_t{1}, std::size_t{33}, asked.size()}) {
            std::vector<TableLookup> batch = asked;
            int reports = 0;
            for (std::size_t from = 0; from < batch.size(); from += size) {
                const std::size_t part = std::min(size, batch.size() - from);
                prepared.evaluateMany(t.extrapolation, t.columnEnd, std::span(batch).subspan(from, part),
                                      [&] { ++reports; }, set);
            }
            EXPECT_EQ(reports, scalarReports);
            for (std::size_t q = 0; q < batch.size(); ++q) {
                ASSERT_TRUE(same(batch[q].value, scalar[q].value)) << "query " << q << " of batches of " << size;
                if (batch[q].second) {
                    ASSERT_TRUE(same(batch[q].valueSecond, scalar[q].valueSecond)) << "query " << q;
                }
            }
        }
    }
}

TEST(Lanes, RealPhotometriesAndSurfaceTables) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(std::string(VL_TEST_DATA_DIR) + "/ldt")) {
        if (entry.path().extension() == ".ldt") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    files.push_back(std::string(VL_BUNDLED_DATA_DIR) + "/eulumdat.ldt");
    ASSERT_GE(files.size(), 10U);
    std::uint32_t seed = 1;
    int tables = 0;
    for (const std::string& f : files) {
        Table t;
        try {
            t = fromPhotometry(f);
        } catch (const std::exception&) {
            continue;  // beyond the table bounds (more than 199 C planes)
        }
        expectIdentical(t, 300, ++seed);
        ++tables;
    }
    EXPECT_GE(tables, 10);
    for (const char* c : {"C1", "C2", "R1", "R2", "R3", "R4"}) {
        expectIdentical(fromSurface(std::string(VL_BUNDLED_DATA_DIR) + "/SRT_" + c), 2000, ++seed);
    }
}

TEST(Lanes, SyntheticTablesUpTo200x200) {
    expectIdentical(synthetic(2, 2, 1U, 1.5, -3.0, 2.0, -1.0), 500, 11U);
    expectIdentical(synthetic(3, 9, 2U, 0.0, 0.0, kNaturalEnd, 0.0), 500, 12U);
    expectIdentical(synthetic(25, 37, 3U, kNaturalEnd, kNaturalEnd, 4.0, kNaturalEnd), 1000, 13U);
    expectIdentical(synthetic(20, 29, 4U, 0.0, 2.0, kNaturalEnd, -0.5), 1000, 14U);
    expectIdentical(synthetic(200, 200, 5U, kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd), 200, 15U);
    expectIdentical(synthetic(200, 200, 6U, 0.0, 0.0, 1.0, 0.0), 200, 16U);
}

TEST(Lanes, EqualAbscissaeAndAxesOutOfOrder) {
    // Equal abscissae report as often as one by one; an axis out of order brackets as the
    // bisection does.
    expectIdentical(synthetic(9, 11, 7U, kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd, Axes::TwoEqual), 600, 17U);
    expectIdentical(synthetic(20, 29, 8U, 0.0, 0.0, kNaturalEnd, 0.0, Axes::TwoEqual), 600, 18U);
    expectIdentical(synthetic(12, 30, 9U, kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd, Axes::OneOutOfOrder), 600,
                    19U);
}

TEST(Lanes, ACopyOutlivesItsOriginal) {
    // A copy views its own second derivatives and lane data, not those of the original.
    const Table t = synthetic(25, 37, 21U, kNaturalEnd, kNaturalEnd, kNaturalEnd, kNaturalEnd);
    std::vector<TableLookup> want = queries(t, 22U, 200);
    auto original = std::make_unique<PreparedSplineTable2D>(t.x1.data(), t.x2.data(), t.y.data(), t.m, t.n, t.ld,
                                                             t.rowStart, t.columnStart);
    original->evaluateMany(t.extrapolation, t.columnEnd, want, {}, InstructionSet::Scalar);
    PreparedSplineTable2D copy(*original);
    PreparedSplineTable2D assigned;
    assigned = *original;
    original.reset();
    for (const PreparedSplineTable2D* table : {&copy, &assigned}) {
        for (const InstructionSet set : supportedInstructionSets()) {
            std::vector<TableLookup> got = queries(t, 22U, 200);
            table->evaluateMany(t.extrapolation, t.columnEnd, got, {}, set);
            for (std::size_t q = 0; q < got.size(); ++q) {
                ASSERT_TRUE(same(got[q].value, want[q].value)) << instructionSetName(set) << " query " << q;
            }
        }
    }
}

}  // namespace
}  // namespace vl
