// One run: the driver that checks the inputs and the computation's phase outline.
#pragma once

#include <string>

namespace vl {

// Writes the banner, reads the installation file, pre-reads the photometry's size,
// checks the grid choice and record, runs the computation and writes
// "Computation completed". reportName (40 characters) receives the report file name.
void runComputation(std::string& reportName);

// Reads the photometry file named by the installation, echoes it as far as it was read
// and lists the original photometry; then prepares the table's spline.
void readLuminaire();

// The phases of one computation, strictly in order.
void computeInstallation(int cColumns, int gammaCount, int pointsAlongX, int pointsAlongY, std::string& reportName);

}  // namespace vl
