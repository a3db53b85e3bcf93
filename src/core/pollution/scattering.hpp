// Hemispheric and low-angle atmospheric scattering factors.
#pragma once

namespace vl {

// Fraction of the light scattered along a path at zenith angle z (deg).
double scatteredFraction(double z);

void reportScatteringFactors();

}  // namespace vl
