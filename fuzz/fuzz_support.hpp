// Shared set-up of the fuzz targets: a private scratch directory as the current
// directory, a Console that discards its lines, a pause that returns at once, reader
// warnings checked and discarded.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/photometry/photometry_table.hpp"
#include "readers/text_input.hpp"
#include "writers/streams.hpp"

namespace vl::fuzz {

inline std::string& scratchDir() {
    static std::string path;
    return path;
}

inline void enterScratchDir() {
    char pattern[] = "/tmp/vl_fuzz_XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr || chdir(dir) != 0) std::abort();
    scratchDir() = dir;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(scratchDir(), ec);
    });
    setenv("VESPERLUMINAL_CLOCK", "20240101120000", 1);  // fixed output file names
    setConsoleSink([](std::string_view) {});
    setConsolePause([] {});
    // A warning names its file and line.
    setReadWarningSink([](const std::string& text) {
        if (text.rfind("file \"", 0) != 0 || text.find("\": line ") == std::string::npos) __builtin_trap();
    });
}

inline void writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort();
}

// A broken invariant of a reader: a finding.
inline void require(bool condition) {
    if (!condition) __builtin_trap();
}

// A photometry table as a reader must leave it: sizes that agree, strictly ascending axes
// ending at the closing 360 plane, which repeats the first; and a spline over it that
// evaluates anywhere without a fault.
inline void requireSoundTable(const PhotometryTable& p) {
    const auto nc = static_cast<std::size_t>(p.cCount);
    const auto ng = static_cast<std::size_t>(p.gammaCount);
    require(p.cAngles.size() == nc && p.gammaAngles.size() == ng && p.intensity.size() == nc * ng);
    require(p.cAngles.back() == 360.0);
    for (std::size_t i = 1; i < nc; ++i) require(p.cAngles[i] > p.cAngles[i - 1]);
    for (std::size_t j = 1; j < ng; ++j) require(p.gammaAngles[j] > p.gammaAngles[j - 1]);
    for (std::size_t j = 0; j < ng; ++j) require(p.intensity[nc - 1 + nc * j] == p.intensity[nc * j]);
    std::vector<double> second(p.intensity.size(), 0.0);
    const SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(),
                              second.data(), p.cCount, p.gammaCount, p.cCount};
    prepareSplineTable2D(table, kNaturalEnd);
    for (double c : {0.0, 45.0, 180.0, 359.0}) {
        for (double g : {0.0, 30.0, 89.0, 170.0}) {
            (void)evaluateSplineTable2D(table, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, g);
        }
    }
}

}  // namespace vl::fuzz

#define VL_FUZZ_INIT                                              \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {          \
        vl::fuzz::enterScratchDir();                              \
        return 0;                                                 \
    }
