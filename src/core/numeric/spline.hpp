// Cubic spline interpolation of curves and bicubic interpolation of tables.
//
// A curve is splined once (prepareSpline) and evaluated often. A table is a set of
// rows along its first axis, each splined once; an evaluation splines the rows' values
// at the query's first coordinate along the second axis.
//
// Every spline takes 2 to 200 points per axis (a table also needs ld >= m); other sizes
// stop the process with a Console message. Two equal abscissae around a query write
// "Bad XA input.", wait for Enter and give the mean of the two ordinates. The table
// evaluation keeps the x2-only part of its column elimination per axis and thread, so
// it may be called from several threads at once on prepared tables.
#pragma once

namespace vl {

inline constexpr double kNaturalEnd = 1.0e30;  // an end slope above 9.9e29 selects a natural end

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
double evaluateSpline(const double* x, const double* y, const double* y2, int n, double xq);
void prepareSplineTable2D(const SplineTable2D& table, double startSlope);
double evaluateSplineTable2D(const SplineTable2D& table, double extrapolationSlope, double columnStartSlope,
                             double columnEndSlope, double x1q, double x2q);

}  // namespace vl
