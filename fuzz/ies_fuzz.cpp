// The IES reader: the driver's pre-read, then the whole file at a rotation taken from the
// input, then both writers and a read back of what they wrote.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"
#include "readers/photometry_tools.hpp"
#include "readers/read_error.hpp"
#include "writers/eulumdat_file.hpp"
#include "writers/ies_file.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kName = "fuzz.ies";
    constexpr int kMaxAxis = 200;
    // The first byte picks the rotation: 0, 90, 180, 270 or an odd angle.
    const double rotations[] = {0.0, 90.0, 180.0, 270.0, 7.5, -45.0, 1e9, 33.3};
    const double rotation = size > 0 ? rotations[data[0] % 8] : 90.0;
    vl::fuzz::writeInput(kName, data, size);
    vl::IesFile file;
    vl::PhotometryDimensions dims;
    try {
        dims = vl::readIesDimensions(kName, rotation);
        vl::fuzz::require(dims.cPlanes >= 1 && dims.cPlanes + 1 <= kMaxAxis);
        vl::fuzz::require(dims.gammaAngles >= 2 && dims.gammaAngles <= kMaxAxis);
        vl::readIes(kName, file, rotation);
    } catch (const vl::ReadError&) {
        return 0;
    } catch (const vl::InputRefusal&) {
        return 0;
    }
    vl::fuzz::require(file.progress == vl::IesProgress::Complete);
    const vl::PhotometryTable& p = file.table;
    vl::fuzz::requireSoundTable(p);
    vl::fuzz::require(p.cCount == dims.cPlanes + 1 && p.gammaCount == dims.gammaAngles);
    vl::fuzz::require(p.cAngles.front() == 0.0);
    for (double v : p.intensity) vl::fuzz::require(std::isfinite(v));

    // What the writers make of the table reads back to a table of the same size.
    if (vl::writeEulumdatFile("fuzz.ldt", p, vl::EulumdatText{})) {
        vl::EulumdatFile ldt;
        try {
            vl::readEulumdat("fuzz.ldt", ldt);
        } catch (const vl::ReadError&) {
            vl::fuzz::require(false);
        } catch (const vl::InputRefusal&) {
            vl::fuzz::require(false);
        }
        vl::fuzz::require(ldt.table.cCount == p.cCount && ldt.table.gammaCount == p.gammaCount);
    }
    vl::PhotometryTable back = p;
    vl::turnAzimuth(back, -rotation);
    if (vl::iesVerticalSet(back) && back.cCount <= kMaxAxis && vl::writeIesFile("fuzz_out.ies", back, vl::IesText{})) {
        vl::IesFile again;
        try {
            vl::readIes("fuzz_out.ies", again, rotation);
        } catch (const vl::InputRefusal&) {
            // Refusals of values the printed precision loses (candelas that round to no
            // light, a plane count that an interpolated plane takes beyond the bound).
        } catch (const vl::ReadError&) {
            vl::fuzz::require(false);  // the writer wrote what its reader cannot read
        }
    }
    return 0;
}
