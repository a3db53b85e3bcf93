// Road surface reflection: the reduced luminance coefficients of the surface class and the
// aged asphalt reference curve, and their lookups.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/numeric/spline.hpp"

namespace vl {

inline constexpr int kMaxBeta = 20;       // surface table beta values
inline constexpr int kMaxTanGamma = 29;   // surface table tan(gamma) values
inline constexpr int kAgedAsphaltPoints = 19;

// Reduced luminance coefficients r(beta, tan gamma) x 10000, as tabulated.
struct ReducedLuminanceTable {
    int betaCount = 0;
    int tanGammaCount = 0;
    std::array<double, kMaxBeta> betaAngles{};
    std::array<double, kMaxTanGamma> tanGamma{};
    // r(b, t) at rValues[b + kMaxBeta * t]: beta is the fast index.
    std::array<double, kMaxBeta * kMaxTanGamma> rValues{};
    double& r(int b, int t) { return rValues[static_cast<std::size_t>(b + kMaxBeta * t)]; }
    double r(int b, int t) const { return rValues[static_cast<std::size_t>(b + kMaxBeta * t)]; }
};

// Reflectance of aged asphalt against the angle of incidence.
struct AgedAsphaltCurve {
    double agedAsphaltFactor = 0;
    std::array<double, kAgedAsphaltPoints> x{};  // angle of incidence, deg
    std::array<double, kAgedAsphaltPoints> y{};  // reflectance
};

// The table prepared for lookups (bicubic, zero start slopes).
class SurfaceReflection {
public:
    explicit SurfaceReflection(const ReducedLuminanceTable& table, EqualAbscissae onEqual = {});
    // r x 10000 at (beta deg, tan gamma), as stored in the table.
    double coefficient(double beta, double tanGamma) const;
    // The same for a batch (x1 = beta, x2 = tan gamma), each value the bits coefficient() gives.
    void coefficientMany(std::span<TableLookup> lookups) const;
    // Lookups with the same arguments give the same value without side effects (both axes
    // strictly ascending): a repeated one may reuse the earlier value.
    bool repeatable() const { return spline_.strictlyAscending(); }

private:
    PreparedSplineTable2D spline_;
    EqualAbscissae onEqual_;
};

// The curve prepared for lookups (natural cubic spline).
class AgedAsphaltReflectance {
public:
    explicit AgedAsphaltReflectance(const AgedAsphaltCurve& curve, EqualAbscissae onEqual = {});
    // Reflectance at the angle of incidence gamma (deg).
    double at(double gamma) const;
    const AgedAsphaltCurve& curve() const { return curve_; }

private:
    AgedAsphaltCurve curve_;
    std::array<double, kAgedAsphaltPoints> y2_{};
    BracketGuide guide_;
    EqualAbscissae onEqual_;
};

}  // namespace vl
