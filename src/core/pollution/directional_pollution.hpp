// Upward luminances and intensities of road and luminaire by direction.
#pragma once

namespace vl {

void reportDirectionalPollution();
// Maximum upward luminaire intensity and the road intensity estimate (ends the process
// when the spacing is 0).
void reportMaximumIntensities();

}  // namespace vl
