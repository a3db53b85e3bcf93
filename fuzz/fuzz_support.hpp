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

}  // namespace vl::fuzz

#define VL_FUZZ_INIT                                              \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {          \
        vl::fuzz::enterScratchDir();                              \
        return 0;                                                 \
    }
