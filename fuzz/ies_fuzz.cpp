// The IES reader: the driver's pre-read, then the whole file at a rotation taken from the
// input, then both writers and a read back of what they wrote.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/numeric/spline.hpp"
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
    const auto nc = static_cast<std::size_t>(p.cCount);
    const auto ng = static_cast<std::size_t>(p.gammaCount);
    vl::fuzz::require(p.cCount == dims.cPlanes + 1 && p.gammaCount == dims.gammaAngles);
    vl::fuzz::require(p.cAngles.size() == nc && p.gammaAngles.size() == ng && p.intensity.size() == nc * ng);
    vl::fuzz::require(p.cAngles.front() == 0.0 && p.cAngles.back() == 360.0);
    for (std::size_t i = 1; i < nc; ++i) vl::fuzz::require(p.cAngles[i] > p.cAngles[i - 1]);
    for (std::size_t j = 1; j < ng; ++j) vl::fuzz::require(p.gammaAngles[j] > p.gammaAngles[j - 1]);
    for (double v : p.intensity) vl::fuzz::require(std::isfinite(v));
    for (std::size_t j = 0; j < ng; ++j) vl::fuzz::require(p.intensity[nc - 1 + nc * j] == p.intensity[nc * j]);

    std::vector<double> second(p.intensity.size(), 0.0);
    const vl::SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(),
                                  second.data(), p.cCount, p.gammaCount, p.cCount};
    vl::prepareSplineTable2D(table, vl::kNaturalEnd);
    for (double c : {0.0, 45.0, 180.0, 359.0}) {
        for (double g : {0.0, 30.0, 89.0, 170.0}) {
            (void)vl::evaluateSplineTable2D(table, vl::kNaturalEnd, vl::kNaturalEnd, vl::kNaturalEnd, c, g);
        }
    }

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
