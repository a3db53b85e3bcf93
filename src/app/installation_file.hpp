// The files that carry a run's inputs: "input_nocturne.dat", "grid.dat", "extend.txt".
#pragma once

#include <string>

#include "core/run/installation.hpp"

namespace vl {

inline constexpr const char* kInstallationFileName = "input_nocturne.dat";
inline constexpr const char* kGridFileName = "grid.dat";
inline constexpr const char* kExtendFileName = "extend.txt";

// The 77-character line of the installation file.
std::string installationLine(const InstallationData& data);
// Replaces "input_nocturne.dat" whole (through a temporary file and a rename).
void writeInstallationFile(const InstallationData& data);
InstallationData readInstallationFile();
// The installation as a run reads it back from this text (the file's content); a
// ReadError names the installation file.
InstallationData readInstallationText(const std::string& text);

// The first record of "grid.dat" whose number is choice (stops the process at the end of
// the file when there is none).
GridChoice readGridChoice(int choice);
// Refuses a record the maps cannot hold (points outside 1..200, fractions outside 0..1).
void checkGridRecord(const GridChoice& record);
// The Console line checkGridRecord stops with; empty for a record the maps can hold.
std::string gridRecordProblem(const GridChoice& record);

int readExtendFlag();

}  // namespace vl
