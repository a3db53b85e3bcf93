// The road lighting phase of a run: grid and observers, the luminance and illuminance
// pass, glare and secondary illuminances, the road lighting and energy sections.
#pragma once

namespace vl {

void computeRoadLighting();

}  // namespace vl
