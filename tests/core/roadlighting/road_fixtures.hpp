// Installations for the road lighting tests: a synthetic isotropic luminaire over a
// surface of constant reflection, and the bundled default installation.
#pragma once

#include "support/test_support.hpp"

#include <string>
#include <vector>

#include "app/computation_state.hpp"

namespace vl::test {

// Installation defaults of the form (6.5 klm, W 7, S 24, V 2.5, h 7, q 0.8, tilt 0).

// Grid record: nX x nY points with the given flags, observers 60 m before the field.
GridChoice gridRecord(int number, int nX, char flagX, int nY, char flagY, double f1 = 0.25, double f2 = 0.75);

// Isotropic luminaire of intensity cd/klm, constant surface coefficient r (x 10000),
// constant aged asphalt reflectance rho; splines prepared.
void installSyntheticPhotometry(double intensity, double r = 1000.0, double rho = 0.1);

// Reads the bundled surface C2, photometry, emission data and aged asphalt curve in
// the current directory (a scratch directory with the bundled data copied).
void installBundledData();

// Sets installation and grid record into the state.
void useInstallation(const InstallationData& installation, const GridChoice& record);

}  // namespace vl::test
