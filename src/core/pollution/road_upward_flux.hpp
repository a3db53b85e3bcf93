// The road as a lambertian emitter integrated over the upper half-space.
#pragma once

namespace vl::pollution {

// Upward flux of the road (lm per klm of lamp flux), laid out on the photometry's upper
// cells, or on the mirror images of its lower cells when it has none above 90 deg.
double roadUpwardFlux();

// Road reflected upward flux ratio RR (% of the luminaire flux).
double roadReflectedUpwardRatio();

}  // namespace vl::pollution
