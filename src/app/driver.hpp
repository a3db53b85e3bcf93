// One run: the driver that checks the inputs and the computation's phase outline.
#pragma once

#include <string>

#include "core/run/run.hpp"

namespace vl {

inline constexpr const char* kProgramVersion = "beta 1.6.1";

// Writes the banner, reads the installation file, pre-reads the photometry's size,
// checks the grid choice and record, runs the computation and writes
// "Computation completed". reportName (40 characters) receives the report file name.
void runComputation(std::string& reportName);

// The phases of one computation, strictly in order, on the installation the driver read.
void computeInstallation(const InstallationData& installation, int cColumns, int gammaCount, int pointsAlongX,
                         int pointsAlongY, std::string& reportName);

// Input phases of a run into state().inputs, each echoed as far as its file was read.
void readSurface();    // "SRT_" + the surface class
void readLuminaire();  // the photometry file, with the "Original photometry" listing

// How the application follows an evaluation: "Bad XA input." with its pause, and the
// interruption flag as its cancel flag.
RunControl applicationRunControl();

}  // namespace vl
