#include "core/surface/surface_table.hpp"

#include <utility>

namespace vl {

SurfaceReflection::SurfaceReflection(const ReducedLuminanceTable& table, EqualAbscissae onEqual)
    : spline_(table.betaAngles.data(), table.tanGamma.data(), table.rValues.data(), table.betaCount,
              table.tanGammaCount, kMaxBeta, 0.0, 0.0),
      onEqual_(std::move(onEqual)) {}

double SurfaceReflection::coefficient(double beta, double tanGamma) const {
    return spline_.evaluate(kNaturalEnd, 0.0, beta, tanGamma, onEqual_);
}

void SurfaceReflection::coefficientMany(std::span<TableLookup> lookups) const {
    spline_.evaluateMany(kNaturalEnd, 0.0, lookups, onEqual_);
}

AgedAsphaltReflectance::AgedAsphaltReflectance(const AgedAsphaltCurve& curve, EqualAbscissae onEqual)
    : curve_(curve), guide_(curve_.x.data(), kAgedAsphaltPoints), onEqual_(std::move(onEqual)) {
    prepareSpline(curve_.x.data(), curve_.y.data(), kAgedAsphaltPoints, kNaturalEnd, kNaturalEnd, y2_.data());
}

double AgedAsphaltReflectance::at(double gamma) const {
    return evaluateSplineIn(curve_.x.data(), curve_.y.data(), y2_.data(), guide_.lower(curve_.x.data(), kAgedAsphaltPoints, gamma), gamma, onEqual_);
}

}  // namespace vl
