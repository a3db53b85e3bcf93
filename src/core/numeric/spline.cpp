#include "core/numeric/spline.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstddef>
#include <limits>
#include <string>

#include "core/numeric/spline_lanes.hpp"
#include "core/refusal.hpp"

namespace vl {

namespace {

constexpr int kScratch = kMaxSplinePoints;  // every scratch vector holds 200 reals
constexpr double kNaturalThreshold = 9.9e29;

bool isNaturalEnd(double slope) { return slope > kNaturalThreshold; }

void checkPointCount(int n) {
    if (n < 2 || n > kScratch) {
        throw Refusal("spline of " + std::to_string(n) + " points: a spline takes 2 to " + std::to_string(kScratch) +
                      " points");
    }
}

void checkTable(const SplineTable2D& table) {
    if (table.m < 2 || table.m > kScratch || table.n < 2 || table.n > kScratch || table.ld < table.m) {
        throw Refusal("spline table of " + std::to_string(table.m) + " x " + std::to_string(table.n) +
                      " values (leading dimension " + std::to_string(table.ld) + "): each axis takes 2 to " +
                      std::to_string(kScratch) + " values");
    }
}

// Two equal abscissae bracket the query: tell the caller and take the mean.
double equalAbscissae(double yLo, double yHi, const EqualAbscissae& onEqual) {
    if (onEqual) onEqual();
    return (yLo + yHi) / 2.0;
}

// Bisection bracket of xq over x(0..n-1): x(lo) <= xq < x(hi) inside the axis,
// 0-based, hi = lo + 1.
struct Bracket {
    int lo = 0;
    int hi = 0;
};

Bracket bracket(const double* x, int n, double xq) {
    int lo = 1;
    int hi = n;
    while (hi - lo > 1) {
        const int k = (hi + lo) / 2;
        if (x[k - 1] > xq) {
            hi = k;
        } else {
            lo = k;
        }
    }
    return {lo - 1, hi - 1};
}

void buildPlan(ColumnPlan& plan, const double* x, int n, bool naturalStart) {
    plan.n = n;
    plan.naturalStart = naturalStart;
    for (int i = 0; i + 1 < n; ++i) plan.dx[i] = x[i + 1] - x[i];
    plan.diag[0] = naturalStart ? 0.0 : -0.5;
    for (int i = 1; i + 1 < n; ++i) {
        plan.span[i] = x[i + 1] - x[i - 1];
        plan.sig[i] = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        plan.p[i] = plan.sig[i] * plan.diag[i - 1] + 2.0;
        plan.diag[i] = (plan.sig[i] - 1.0) / plan.p[i];
    }
    plan.startFactor = 3.0 / (x[1] - x[0]);
    plan.endFactor = 3.0 / (x[n - 1] - x[n - 2]);
}

}  // namespace

void prepareSpline(const double* x, const double* y, int n, double startSlope, double endSlope, double* y2) {
    checkPointCount(n);
    std::array<double, kScratch> u{};
    if (isNaturalEnd(startSlope)) {
        y2[0] = 0.0;
        u[0] = 0.0;
    } else {
        y2[0] = -0.5;
        u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - startSlope);
    }
    for (int i = 1; i + 1 < n; ++i) {
        const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double p = sig * y2[i - 1] + 2.0;
        y2[i] = (sig - 1.0) / p;
        u[i] = (6.0 * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1])) /
                    (x[i + 1] - x[i - 1]) -
                sig * u[i - 1]) /
               p;
    }
    double qn = 0.0;
    double un = 0.0;
    if (!isNaturalEnd(endSlope)) {
        qn = 0.5;
        un = (3.0 / (x[n - 1] - x[n - 2])) * (endSlope - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
    }
    y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
    for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
}

double evaluateSplineIn(const double* x, const double* y, const double* y2, int lo, double xq,
                        const EqualAbscissae& onEqual) {
    const int hi = lo + 1;
    const double h = x[hi] - x[lo];
    if (h == 0.0) return equalAbscissae(y[lo], y[hi], onEqual);
    const double a = (x[hi] - xq) / h;
    const double b = (xq - x[lo]) / h;
    return a * y[lo] + b * y[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}

double evaluateSpline(const double* x, const double* y, const double* y2, int n, double xq,
                      const EqualAbscissae& onEqual) {
    checkPointCount(n);
    return evaluateSplineIn(x, y, y2, bracket(x, n, xq).lo, xq, onEqual);
}

void prepareSplineTable2D(const SplineTable2D& table, double startSlope) {
    checkTable(table);
    const int m = table.m;
    std::array<double, kScratch> row{};
    std::array<double, kScratch> rowSecond{};
    for (int k = 0; k < table.n; ++k) {
        const std::size_t base = static_cast<std::size_t>(table.ld) * static_cast<std::size_t>(k);
        for (int i = 0; i < m; ++i) row[i] = table.y[base + i];
        // The end slope takes the last difference over a fixed 90 / (m - 1), not the
        // actual spacing of the axis.
        const double endSlope = (row[m - 1] - row[m - 2]) / (90.0 / (m - 1));
        prepareSpline(table.x1, row.data(), m, startSlope, endSlope, rowSecond.data());
        for (int i = 0; i < m; ++i) table.y2[base + i] = rowSecond[i];
    }
}

// The rows are splined along x1 once (prepareSplineTable2D); here each row is evaluated
// at the clamped x1 on one shared bracket, and the column of those values is splined
// along x2 with the x2-only part of the elimination taken from a per-axis plan. Every
// value is formed by the same operations in the same order as the plain composition of
// evaluateSpline and prepareSpline, so the result is the same to the bit.
namespace {

// Column spline through the row values along x2, evaluated at x2c. rowValue(k) yields
// the value of row k; it is asked for each row once, in order, and interleaved with the
// forward elimination so that its work overlaps the elimination's division chain.
template <typename RowValue>
double columnSpline(const ColumnPlan& plan, const double* x2, int n, double columnStartSlope, double columnEndSlope,
                    double x2c, const EqualAbscissae& onEqual, RowValue&& rowValue) {
    // Scratch left uninitialised: each element is written before it is read.
    std::array<double, kScratch> v;
    std::array<double, kScratch> u;
    std::array<double, kScratch> w;
    v[0] = rowValue(0);
    v[1] = rowValue(1);
    // (v(i+1) - v(i)) / (x(i+1) - x(i)), each difference quotient formed once.
    double slopeBefore = (v[1] - v[0]) / plan.dx[0];
    if (plan.naturalStart) {
        u[0] = 0.0;
    } else {
        u[0] = plan.startFactor * (slopeBefore - columnStartSlope);
    }
    for (int i = 1; i + 1 < n; ++i) {
        v[i + 1] = rowValue(i + 1);
        const double slopeAfter = (v[i + 1] - v[i]) / plan.dx[i];
        u[i] = (6.0 * (slopeAfter - slopeBefore) / plan.span[i] - plan.sig[i] * u[i - 1]) / plan.p[i];
        slopeBefore = slopeAfter;
    }
    double qn = 0.0;
    double un = 0.0;
    if (!isNaturalEnd(columnEndSlope)) {
        qn = 0.5;
        un = plan.endFactor * (columnEndSlope - slopeBefore);
    }
    const Bracket b2 = bracket(x2, n, x2c);
    w[n - 1] = (un - qn * u[n - 2]) / (qn * plan.diag[n - 2] + 1.0);
    // Only the two second derivatives at the bracket are needed.
    for (int k = n - 2; k >= b2.lo; --k) w[k] = plan.diag[k] * w[k + 1] + u[k];

    const double h = x2[b2.hi] - x2[b2.lo];
    if (h == 0.0) return equalAbscissae(v[b2.lo], v[b2.hi], onEqual);
    const double a = (x2[b2.hi] - x2c) / h;
    const double b = (x2c - x2[b2.lo]) / h;
    return a * v[b2.lo] + b * v[b2.hi] + ((a * a * a - a) * w[b2.lo] + (b * b * b - b) * w[b2.hi]) * (h * h) / 6.0;
}

// The evaluation over prepared rows with a column plan made for the table's x2 axis.
double evaluateWithPlan(const SplineTable2D& table, const ColumnPlan& plan, double extrapolationSlope,
                        double columnStartSlope, double columnEndSlope, double x1q, double x2q,
                        const EqualAbscissae& onEqual) {
    const int m = table.m;
    const int n = table.n;
    const double* x1 = table.x1;
    const double* x2 = table.x2;

    double x1c = x1q;
    if (x1q < x1[0]) x1c = x1[0];
    if (x1q > x1[m - 1]) x1c = x1[m - 1];
    double x2c = x2q;
    if (x2q < x2[0]) x2c = x2[0];
    if (x2q > x2[n - 1]) x2c = x2[n - 1];

    // Beyond the last x1 the row values grow linearly with the extrapolation slope.
    const bool extrapolate = x1q > x1c;
    const double extrapolation = (x1q - x1c) * extrapolationSlope;
    const Bracket b1 = bracket(x1, m, x1c);
    const double h1 = x1[b1.hi] - x1[b1.lo];
    const std::size_t ld = static_cast<std::size_t>(table.ld);

    if (h1 == 0.0) {
        // Equal abscissae: every row reports it, as a row-by-row evaluation does.
        std::array<double, kScratch> rows{};
        for (int k = 0; k < n; ++k) {
            const std::size_t base = ld * static_cast<std::size_t>(k);
            rows[k] = evaluateSpline(x1, table.y + base, table.y2 + base, m, x1c, onEqual);
            if (extrapolate) rows[k] = rows[k] + extrapolation;
        }
        return columnSpline(plan, x2, n, columnStartSlope, columnEndSlope, x2c, onEqual,
                            [&rows](int k) { return rows[k]; });
    }

    const double a = (x1[b1.hi] - x1c) / h1;
    const double b = (x1c - x1[b1.lo]) / h1;
    const double ca = a * a * a - a;
    const double cb = b * b * b - b;
    const double hh = h1 * h1;
    const double* yLo = table.y + b1.lo;
    const double* yHi = table.y + b1.hi;
    const double* y2Lo = table.y2 + b1.lo;
    const double* y2Hi = table.y2 + b1.hi;
    auto rowValue = [&](int k) {
        const std::size_t base = ld * static_cast<std::size_t>(k);
        double value = a * yLo[base] + b * yHi[base] + (ca * y2Lo[base] + cb * y2Hi[base]) * hh / 6.0;
        if (extrapolate) value = value + extrapolation;
        return value;
    };
    return columnSpline(plan, x2, n, columnStartSlope, columnEndSlope, x2c, onEqual, rowValue);
}

}  // namespace

double evaluateSplineTable2D(const SplineTable2D& table, double extrapolationSlope, double columnStartSlope,
                             double columnEndSlope, double x1q, double x2q, const EqualAbscissae& onEqual) {
    checkTable(table);
    ColumnPlan plan;
    buildPlan(plan, table.x2, table.n, isNaturalEnd(columnStartSlope));
    return evaluateWithPlan(table, plan, extrapolationSlope, columnStartSlope, columnEndSlope, x1q, x2q, onEqual);
}

PreparedSplineTable2D::PreparedSplineTable2D(const double* x1, const double* x2, const double* y, int m, int n,
                                             int ld, double rowStartSlope, double columnStartSlope)
    : columnStartSlope_(columnStartSlope) {
    view_ = SplineTable2D{x1, x2, y, nullptr, m, n, ld};
    checkTable(view_);
    y2_.assign(static_cast<std::size_t>(ld) * static_cast<std::size_t>(n), 0.0);
    view_.y2 = y2_.data();
    prepareSplineTable2D(view_, rowStartSlope);
    buildPlan(plan_, x2, n, isNaturalEnd(columnStartSlope));

    quadStorage_.assign(static_cast<std::size_t>(m - 1) * static_cast<std::size_t>(n) * 4 + 4, 0.0);
    const auto address = reinterpret_cast<std::uintptr_t>(quadStorage_.data());
    quadOffset_ = ((32 - address % 32) % 32) / sizeof(double);
    double* quads = quadStorage_.data() + quadOffset_;
    for (int i = 0; i + 1 < m; ++i) {
        for (int k = 0; k < n; ++k) {
            const std::size_t lo = static_cast<std::size_t>(i) + static_cast<std::size_t>(ld) * static_cast<std::size_t>(k);
            double* q = quads + (static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)) * 4;
            q[0] = y[lo];
            q[1] = y[lo + 1];
            q[2] = y2_[lo];
            q[3] = y2_[lo + 1];
        }
    }
    guide1_ = BracketGuide(x1, m);
    guide2_ = BracketGuide(x2, n);
}

BracketGuide::BracketGuide(const double* x, int n) {
    checkPointCount(n);
    ascending_ = true;
    double narrowest = std::numeric_limits<double>::infinity();
    for (int i = 0; i + 1 < n; ++i) {
        ascending_ = ascending_ && x[i] < x[i + 1];
        narrowest = std::min(narrowest, x[i + 1] - x[i]);
    }
    const double width = x[n - 1] - x[0];
    constexpr double kMaxCells = 4096.0;
    if (!ascending_ || !std::isfinite(width) || !(narrowest > 0.0)) {
        ascending_ = false;
        return;
    }
    const double cells = std::min(std::ceil(width / narrowest) + 1.0, kMaxCells);
    origin_ = x[0];
    scale_ = cells / width;
    knots_.assign(x, x + n);
    knots_.push_back(std::numeric_limits<double>::infinity());
    start_.assign(static_cast<std::size_t>(cells), 0);
    int i = 0;
    for (std::size_t g = 0; g < start_.size(); ++g) {
        const double edge = origin_ + static_cast<double>(g) / scale_;
        while (i + 1 < n && x[i + 1] <= edge) ++i;
        start_[g] = i;
    }
}

int bisectLower(const double* x, int n, double xq) { return bracket(x, n, xq).lo; }

PreparedSplineTable2D::PreparedSplineTable2D(const PreparedSplineTable2D& other)
    : y2_(other.y2_),
      view_(other.view_),
      columnStartSlope_(other.columnStartSlope_),
      plan_(other.plan_),
      quadStorage_(other.quadStorage_),
      quadOffset_(other.quadOffset_),
      guide1_(other.guide1_),
      guide2_(other.guide2_) {
    // The copy views its own second derivatives, not those of `other`, and its quads may
    // lie at another alignment.
    if (view_.y2 != nullptr) view_.y2 = y2_.data();
    if (!quadStorage_.empty()) {
        const auto address = reinterpret_cast<std::uintptr_t>(quadStorage_.data());
        quadOffset_ = ((32 - address % 32) % 32) / sizeof(double);
        std::copy(other.quads(), other.quads() + (quadStorage_.size() - 4), quadStorage_.data() + quadOffset_);
    }
}

PreparedSplineTable2D& PreparedSplineTable2D::operator=(const PreparedSplineTable2D& other) {
    if (this != &other) *this = PreparedSplineTable2D(other);
    return *this;
}

double PreparedSplineTable2D::evaluate(double extrapolationSlope, double columnEndSlope, double x1q, double x2q,
                                       const EqualAbscissae& onEqual) const {
    return evaluateWithPlan(view_, plan_, extrapolationSlope, columnStartSlope_, columnEndSlope, x1q, x2q, onEqual);
}

void PreparedSplineTable2D::evaluateMany(double extrapolationSlope, double columnEndSlope,
                                         std::span<TableLookup> lookups, const EqualAbscissae& onEqual,
                                         InstructionSet set) const {
    auto oneByOne = [&](TableLookup& q) {
        q.value = evaluate(extrapolationSlope, columnEndSlope, q.x1, q.x2, onEqual);
        if (q.second) q.valueSecond = evaluate(extrapolationSlope, columnEndSlope, q.x1, q.x2Second, onEqual);
    };
    if (set == InstructionSet::Scalar || !instructionSetSupported(set)) {
        for (TableLookup& q : lookups) oneByOne(q);
        return;
    }
    const int m = view_.m;
    const int n = view_.n;
    const double* x1 = view_.x1;
    const double* x2 = view_.x2;
    const lanes::LaneTable table{x1, extrapolationSlope, x2, n, quads(), &plan_, columnStartSlope_, columnEndSlope};
    auto clampedX2 = [&](double x2q) {
        double x2c = x2q;
        if (x2q < x2[0]) x2c = x2[0];
        if (x2q > x2[n - 1]) x2c = x2[n - 1];
        return x2c;
    };
    std::array<lanes::LaneLookup, lanes::kBlock> block;
    int count = 0;
    bool haveLast = false;
    std::uint64_t lastX2 = 0;
    double lastX2c = 0.0;
    int lastLo2 = 0;
    for (TableLookup& q : lookups) {
        // The place along x1, as evaluateWithPlan finds it.
        double x1c = q.x1;
        if (q.x1 < x1[0]) x1c = x1[0];
        if (q.x1 > x1[m - 1]) x1c = x1[m - 1];
        const int lo1 = guide1_.lower(x1, m, x1c);
        const Bracket b1{lo1, lo1 + 1};
        const double h1 = x1[b1.hi] - x1[b1.lo];
        if (h1 == 0.0) {
            // Equal abscissae along x1 report once per row: left to the one-by-one path.
            oneByOne(q);
            continue;
        }
        lanes::LaneLookup& l = block[static_cast<std::size_t>(count)];
        l.lookup = &q;
        l.lo1 = b1.lo;
        l.x1c = x1c;
        l.extrapolate = q.x1 > x1c;
        // Lookups in a row often share x2 (one tan gamma for all viewing directions).
        if (!haveLast || std::bit_cast<std::uint64_t>(q.x2) != lastX2) {
            haveLast = true;
            lastX2 = std::bit_cast<std::uint64_t>(q.x2);
            lastX2c = clampedX2(q.x2);
            lastLo2 = guide2_.lower(x2, n, lastX2c);
        }
        l.x2c[0] = lastX2c;
        l.lo2[0] = lastLo2;
        if (q.second) {
            l.x2c[1] = clampedX2(q.x2Second);
            l.lo2[1] = guide2_.lower(x2, n, l.x2c[1]);
        } else {
            l.x2c[1] = 0.0;
            l.lo2[1] = -1;
        }
        if (++count == lanes::kBlock) {
            lanes::solveBlock(set, table, block.data(), count, onEqual);
            count = 0;
        }
    }
    if (count > 0) lanes::solveBlock(set, table, block.data(), count, onEqual);
}

}  // namespace vl
