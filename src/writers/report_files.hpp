// The report and data files of a run: names from the start time, headings, the echo of
// the installation data and the closing line.
#pragma once

#include <string>

#include "app/computation_state.hpp"

namespace vl {

// The local date (ccyymmdd) and time (hhmmss.s) at this moment; the environment variable
// VESPERLUMINAL_CLOCK=ccyymmddhhmmss fixes them for reproducible runs.
struct ClockReading {
    std::string date;
    std::string time;
};
ClockReading readClock();

// Reads the clock, names, creates and heads both files; sets the 40-character report name.
void openOutputFiles(std::string& reportName);

// The "Input installation data:" section on the Console and in the ReportFile.
void echoInstallationData(const InstallationData& data);

// The last lines of a run on the Console; closes the DataFile.
void writeClosingLine(const std::string& reportName);

}  // namespace vl
