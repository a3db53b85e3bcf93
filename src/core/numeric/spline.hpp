// Cubic spline interpolation of curves and bicubic interpolation of tables.
//
// A curve is splined once (prepareSpline) and evaluated often. A table is a set of
// rows along its first axis, each splined once; an evaluation splines the rows' values
// at the query's first coordinate along the second axis.
//
// Every spline takes 2 to 200 points per axis (a table also needs ld >= m); other sizes
// are refused (Refusal). Two equal abscissae around a query give the mean of the two
// ordinates, after telling the caller through its EqualAbscissae hook.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "core/numeric/instruction_set.hpp"

namespace vl {

inline constexpr double kNaturalEnd = 1.0e30;  // an end slope above 9.9e29 selects a natural end
inline constexpr int kMaxSplinePoints = 200;

// Called when a query falls between two equal abscissae (the axis is not ascending).
using EqualAbscissae = std::function<void()>;

// A view over caller-owned arrays: y(i, k) = y[i + ld * k], i along x1 (m values),
// k along x2 (n values); y2 holds the second derivatives along x1 of each row k.
struct SplineTable2D {
    const double* x1 = nullptr;
    const double* x2 = nullptr;
    const double* y = nullptr;
    double* y2 = nullptr;
    int m = 0;
    int n = 0;
    int ld = 0;
};

void prepareSpline(const double* x, const double* y, int n, double startSlope, double endSlope, double* y2);
double evaluateSpline(const double* x, const double* y, const double* y2, int n, double xq,
                      const EqualAbscissae& onEqual = {});
// The same for a query whose bracket x(lo) .. x(lo+1) is known.
double evaluateSplineIn(const double* x, const double* y, const double* y2, int lo, double xq,
                        const EqualAbscissae& onEqual = {});

// The 0-based lower knot of the bisection's bracket of xq over x(0 .. n-1).
int bisectLower(const double* x, int n, double xq);

// The bracket evaluateSpline's bisection finds, found faster on a strictly ascending axis:
// the last knot at or below the query, kept within 0 .. n-2 (n-2 for a NaN), from the last
// knot at or below the lower edge of the query's cell, each cell narrower than the narrowest
// interval. Other axes are bisected. Queries pass the axis the guide was built for.
class BracketGuide {
public:
    BracketGuide() = default;
    BracketGuide(const double* x, int n);
    // From the cell's knot the bracket is that knot or the next one, which a comparison
    // settles; a query that rounding put into a neighbouring cell is walked to its knot.
    int lower(const double* x, int n, double xq) const {
        if (!ascending_) return bisectLower(x, n, xq);
        if (std::isnan(xq)) return n - 2;
        const double f = (xq - origin_) * scale_;
        const double last = static_cast<double>(start_.size() - 1);
        const int g = static_cast<int>(f < 0.0 ? 0.0 : (f > last ? last : f));
        const double* k = knots_.data();
        int i = start_[static_cast<std::size_t>(g)];
        i += static_cast<int>(k[i + 1] <= xq);
        if (!((k[i] <= xq || i == 0) && k[i + 1] > xq)) {
            while (i > 0 && k[i] > xq) --i;
            while (k[i + 1] <= xq) ++i;
        }
        return i < n - 2 ? i : n - 2;
    }
    bool strictlyAscending() const { return ascending_; }

private:
    bool ascending_ = false;
    double origin_ = 0;
    double scale_ = 0;  // cells per unit
    std::vector<int> start_;
    std::vector<double> knots_;  // the axis and +infinity
};
void prepareSplineTable2D(const SplineTable2D& table, double startSlope);
double evaluateSplineTable2D(const SplineTable2D& table, double extrapolationSlope, double columnStartSlope,
                             double columnEndSlope, double x1q, double x2q, const EqualAbscissae& onEqual = {});

// The part of the tridiagonal elimination of a column spline that depends only on its
// abscissae and on whether its start is natural.
struct ColumnPlan {
    int n = 0;
    bool naturalStart = false;
    std::array<double, kMaxSplinePoints> dx{};    // x(i+1) - x(i)
    std::array<double, kMaxSplinePoints> span{};  // x(i+1) - x(i-1)
    std::array<double, kMaxSplinePoints> sig{};
    std::array<double, kMaxSplinePoints> p{};
    std::array<double, kMaxSplinePoints> diag{};  // the y2 coefficient before back substitution
    double startFactor = 0;                       // 3 / (x(2) - x(1))
    double endFactor = 0;                         // 3 / (x(n) - x(n-1))
};

// One evaluation of a batch: the value at (x1, x2) and, when `second` is set, the value
// at (x1, x2Second) on the same column, whose solve the two share.
struct TableLookup {
    double x1 = 0;
    double x2 = 0;
    double x2Second = 0;
    bool second = false;
    double value = 0;        // out
    double valueSecond = 0;  // out, when `second`
};

// A table prepared once for many evaluations with the same column start: it owns the
// rows' second derivatives and the column plan, and both again arranged for the lanes of
// batched evaluations. The arrays it views must outlive it unchanged.
class PreparedSplineTable2D {
public:
    PreparedSplineTable2D() = default;
    PreparedSplineTable2D(const double* x1, const double* x2, const double* y, int m, int n, int ld,
                          double rowStartSlope, double columnStartSlope);
    PreparedSplineTable2D(const PreparedSplineTable2D& other);
    PreparedSplineTable2D& operator=(const PreparedSplineTable2D& other);
    PreparedSplineTable2D(PreparedSplineTable2D&&) noexcept = default;
    PreparedSplineTable2D& operator=(PreparedSplineTable2D&&) noexcept = default;

    double evaluate(double extrapolationSlope, double columnEndSlope, double x1q, double x2q,
                    const EqualAbscissae& onEqual = {}) const;
    // Every lookup of the batch, each value the bits evaluate() gives for it; onEqual is
    // called as often as the separate evaluations would call it.
    void evaluateMany(double extrapolationSlope, double columnEndSlope, std::span<TableLookup> lookups,
                      const EqualAbscissae& onEqual = {}, InstructionSet set = lookupInstructionSet()) const;
    const SplineTable2D& view() const { return view_; }
    // Both axes strictly ascending: no evaluation reports equal abscissae, so one with the
    // same arguments as an earlier one may take its value.
    bool strictlyAscending() const { return guide1_.strictlyAscending() && guide2_.strictlyAscending(); }

private:
    std::vector<double> y2_;
    SplineTable2D view_;
    double columnStartSlope_ = 0;
    ColumnPlan plan_;
    // For the lanes: what a lookup between x1(i) and x1(i+1) reads of row k,
    // (y(i, k), y(i+1, k), y2(i, k), y2(i+1, k)) at quads()[(i * n + k) * 4], each quad
    // 32-byte aligned within the storage.
    std::vector<double> quadStorage_;
    std::size_t quadOffset_ = 0;
    const double* quads() const { return quadStorage_.data() + quadOffset_; }
    BracketGuide guide1_;
    BracketGuide guide2_;
};

}  // namespace vl
