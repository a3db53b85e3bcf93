// A plain, unoptimised transcription of the spline operations, 1-based as the
// physics counts: every 2-D evaluation copies each row, evaluates it by its own
// bisection and builds the column spline from scratch. The production code must give
// the same bits.
#pragma once

#include <vector>

#include "core/numeric/spline.hpp"
#include "writers/streams.hpp"

namespace vl::literal {

inline void prepare(const double* xa, const double* ya, int n, double yp1, double ypn, double* y2a) {
    auto x = [&](int i) { return xa[i - 1]; };
    auto y = [&](int i) { return ya[i - 1]; };
    auto y2 = [&](int i) -> double& { return y2a[i - 1]; };
    std::vector<double> uv(static_cast<std::size_t>(n) + 1, 0.0);
    auto u = [&](int i) -> double& { return uv[static_cast<std::size_t>(i)]; };
    if (yp1 > 9.9e29) {
        y2(1) = 0.0;
        u(1) = 0.0;
    } else {
        y2(1) = -0.5;
        u(1) = (3.0 / (x(2) - x(1))) * ((y(2) - y(1)) / (x(2) - x(1)) - yp1);
    }
    for (int i = 2; i <= n - 1; ++i) {
        const double sig = (x(i) - x(i - 1)) / (x(i + 1) - x(i - 1));
        const double p = sig * y2(i - 1) + 2.0;
        y2(i) = (sig - 1.0) / p;
        u(i) = (6.0 * ((y(i + 1) - y(i)) / (x(i + 1) - x(i)) - (y(i) - y(i - 1)) / (x(i) - x(i - 1))) /
                    (x(i + 1) - x(i - 1)) -
                sig * u(i - 1)) /
               p;
    }
    double qn = 0.0;
    double un = 0.0;
    if (!(ypn > 9.9e29)) {
        qn = 0.5;
        un = (3.0 / (x(n) - x(n - 1))) * (ypn - (y(n) - y(n - 1)) / (x(n) - x(n - 1)));
    }
    y2(n) = (un - qn * u(n - 1)) / (qn * y2(n - 1) + 1.0);
    for (int k = n - 1; k >= 1; --k) y2(k) = y2(k) * y2(k + 1) + u(k);
}

inline double evaluate(const double* xa, const double* ya, const double* y2a, int n, double xq) {
    auto x = [&](int i) { return xa[i - 1]; };
    int klo = 1;
    int khi = n;
    while (khi - klo > 1) {
        const int k = (khi + klo) / 2;
        if (x(k) > xq) {
            khi = k;
        } else {
            klo = k;
        }
    }
    const double h = x(khi) - x(klo);
    if (h == 0.0) {
        consoleText("Bad XA input.");
        consolePause();
        return (ya[klo - 1] + ya[khi - 1]) / 2.0;
    }
    const double a = (x(khi) - xq) / h;
    const double b = (xq - x(klo)) / h;
    return a * ya[klo - 1] + b * ya[khi - 1] +
           ((a * a * a - a) * y2a[klo - 1] + (b * b * b - b) * y2a[khi - 1]) * (h * h) / 6.0;
}

inline void prepareTable(const SplineTable2D& t, double startSlope) {
    std::vector<double> row(static_cast<std::size_t>(t.m));
    std::vector<double> row2(static_cast<std::size_t>(t.m));
    for (int k = 1; k <= t.n; ++k) {
        for (int i = 1; i <= t.m; ++i) row[static_cast<std::size_t>(i - 1)] = t.y[(i - 1) + t.ld * (k - 1)];
        const double endSlope = (row[static_cast<std::size_t>(t.m - 1)] - row[static_cast<std::size_t>(t.m - 2)]) /
                                (90.0 / (t.m - 1));
        prepare(t.x1, row.data(), t.m, startSlope, endSlope, row2.data());
        for (int i = 1; i <= t.m; ++i) t.y2[(i - 1) + t.ld * (k - 1)] = row2[static_cast<std::size_t>(i - 1)];
    }
}

inline double evaluateTable(const SplineTable2D& t, double extrapolationSlope, double columnStart,
                            double columnEnd, double x1q, double x2q) {
    double x1c = x1q;
    if (x1q < t.x1[0]) x1c = t.x1[0];
    if (x1q > t.x1[t.m - 1]) x1c = t.x1[t.m - 1];
    double x2c = x2q;
    if (x2q < t.x2[0]) x2c = t.x2[0];
    if (x2q > t.x2[t.n - 1]) x2c = t.x2[t.n - 1];
    std::vector<double> row(static_cast<std::size_t>(t.m));
    std::vector<double> row2(static_cast<std::size_t>(t.m));
    std::vector<double> v(static_cast<std::size_t>(t.n));
    std::vector<double> w(static_cast<std::size_t>(t.n));
    for (int k = 1; k <= t.n; ++k) {
        for (int i = 1; i <= t.m; ++i) {
            row[static_cast<std::size_t>(i - 1)] = t.y[(i - 1) + t.ld * (k - 1)];
            row2[static_cast<std::size_t>(i - 1)] = t.y2[(i - 1) + t.ld * (k - 1)];
        }
        double value = evaluate(t.x1, row.data(), row2.data(), t.m, x1c);
        if (x1q > x1c) value = value + (x1q - x1c) * extrapolationSlope;
        v[static_cast<std::size_t>(k - 1)] = value;
    }
    prepare(t.x2, v.data(), t.n, columnStart, columnEnd, w.data());
    return evaluate(t.x2, v.data(), w.data(), t.n, x2c);
}

}  // namespace vl::literal
