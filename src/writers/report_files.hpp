// The report and data files of a run: names from the start time, headings, the echo of
// the installation data and the closing line.
#pragma once

#include <string>

#include "core/run/installation.hpp"

namespace vl {

// The local date (ccyymmdd) and time (hhmmss.s) at this moment; the environment variable
// VESPERLUMINAL_CLOCK=ccyymmddhhmmss fixes them for reproducible runs.
struct ClockReading {
    std::string date;
    std::string time;
};
ClockReading readClock();

// What identifies a run: its start time and the name of its report.
struct RunInfo {
    std::string date;        // ccyymmdd
    std::string time;        // hhmmss.s
    std::string runStamp;    // ccyymmddhhmm
    std::string reportName;  // 40 characters, blank-padded
};

// Reads the clock, names, creates and heads both files; sets the 40-character report name.
RunInfo openOutputFiles(std::string& reportName);

// The "Input installation data:" section on the Console and in the ReportFile.
void echoInstallationData(const InstallationData& data);

// The last lines of a run on the Console; closes the DataFile.
void writeClosingLine(const std::string& reportName);

}  // namespace vl
