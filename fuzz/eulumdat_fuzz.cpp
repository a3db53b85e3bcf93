// The Eulumdat reader: the driver's pre-read of Mc and Ng, then the whole file, then a
// few lookups in the prepared table.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/eulumdat.hpp"
#include "readers/read_error.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kName = "fuzz.ldt";
    constexpr int kMaxAxis = 200;
    vl::fuzz::writeInput(kName, data, size);
    vl::EulumdatFile file;
    try {
        const vl::PhotometryDimensions dims = vl::readEulumdatDimensions(kName);
        vl::fuzz::require(dims.cPlanes >= 1 && dims.cPlanes + 1 <= kMaxAxis);
        vl::fuzz::require(dims.gammaAngles >= 2 && dims.gammaAngles <= kMaxAxis);
        vl::readEulumdat(kName, file);
    } catch (const vl::ReadError&) {
        return 0;
    } catch (const vl::InputRefusal&) {
        return 0;
    }
    vl::fuzz::require(file.progress == vl::EulumdatProgress::Complete);
    vl::fuzz::requireSoundTable(file.table);
    return 0;
}
