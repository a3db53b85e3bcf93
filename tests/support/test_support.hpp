// Shared helpers of the test programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/computation_state.hpp"
#include "core/photometry/photometry_table.hpp"

namespace vl::test {

// The form's ten defaults: the bundled default installation.
InstallationData defaultInstallation();

// A fresh temporary directory that becomes the current directory for the test's life.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Copies a file of the bundled data/ (or of tests/data/ when testData) here. The
    // luminaire "eulumdat.ldt" is the earlier default, a full-sphere photometry
    // (tests/data/ldt/derived/strada_nogap.ldt), whose figures the tests record.
    void copyBundled(const std::string& name, const std::string& as = "") const;
    void copyTestData(const std::string& name, const std::string& as = "") const;
    void copyAllBundled() const;
    // The bundled data/ as it is, its default luminaire included.
    void copyDefaultInstallation() const;
    void write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Collects the Console lines while alive (instead of standard output).
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// The largest difference between two tables' intensities, each times its scale, at the C
// planes of both (linear in C between the planes of the other); infinite when their
// gamma axes differ.
double largestDifference(const PhotometryTable& a, const PhotometryTable& b, double scaleA = 1.0,
                         double scaleB = 1.0);

std::string readFile(const std::filesystem::path& path);
std::vector<std::string> readLines(const std::filesystem::path& path);

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the built program with the arguments (shell-quoted by the caller) in the current
// directory, standard input from /dev/null unless input is given.
ProgramResult runProgram(const std::string& arguments, const std::string& input = "");

}  // namespace vl::test
