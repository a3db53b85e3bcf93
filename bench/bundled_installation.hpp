// The bundled default installation for the benchmarks: a scratch copy of data/ as the
// working directory, and the form's default inputs on a chosen grid record and tilt.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "core/run/installation.hpp"

namespace vl::bench {

// A temporary working directory holding a copy of the bundled data, current while alive.
class BundledDirectory {
public:
    explicit BundledDirectory(const std::string& prefix) : previous_(std::filesystem::current_path()) {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(rd()));
        std::filesystem::create_directories(path_);
        for (const auto& entry : std::filesystem::directory_iterator(VL_BUNDLED_DATA_DIR)) {
            if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), path_ / entry.path().filename());
        }
        std::filesystem::current_path(path_);
    }
    ~BundledDirectory() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    BundledDirectory(const BundledDirectory&) = delete;
    BundledDirectory& operator=(const BundledDirectory&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The form's defaults with another grid record and tilt.
inline InstallationData bundledInstallation(int grid = 1, double tilt = 0.0) {
    InstallationData in;
    in.lampFlux = 6.5;
    in.roadWidth = 7.0;
    in.spacing = 24.0;
    in.overhang = 2.5;
    in.poleHeight = 7.0;
    in.maintenanceFactor = 0.8;
    in.tilt = tilt;
    in.surfaceClass = "C2";
    in.gridChoice = grid;
    in.photometryFile = "eulumdat.ldt";
    return in;
}

}  // namespace vl::bench
