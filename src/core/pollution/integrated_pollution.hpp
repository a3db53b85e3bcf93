// Upward flux ratios and uplight densities.
#pragma once

namespace vl {

void reportIntegratedPollution();

}  // namespace vl
