// The Eulumdat reader: the driver's pre-read of Mc and Ng, then the whole file, then a
// few lookups in the prepared table.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/numeric/spline.hpp"
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
    const vl::PhotometryTable& p = file.table;
    const auto nc = static_cast<std::size_t>(p.cCount);
    const auto ng = static_cast<std::size_t>(p.gammaCount);
    vl::fuzz::require(p.cAngles.size() == nc && p.gammaAngles.size() == ng);
    vl::fuzz::require(p.intensity.size() == nc * ng);
    vl::fuzz::require(p.cAngles.back() == 360.0);
    for (std::size_t i = 1; i < nc; ++i) vl::fuzz::require(p.cAngles[i] > p.cAngles[i - 1]);
    for (std::size_t j = 1; j < ng; ++j) vl::fuzz::require(p.gammaAngles[j] > p.gammaAngles[j - 1]);
    // The closing plane repeats the first.
    for (std::size_t j = 0; j < ng; ++j) {
        vl::fuzz::require(p.intensity[nc - 1 + nc * j] == p.intensity[nc * j]);
    }
    std::vector<double> second(p.intensity.size(), 0.0);
    const vl::SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(),
                                  second.data(), p.cCount, p.gammaCount, p.cCount};
    vl::prepareSplineTable2D(table, vl::kNaturalEnd);
    for (double c : {0.0, 45.0, 180.0, 359.0}) {
        for (double g : {0.0, 30.0, 89.0, 170.0}) {
            (void)vl::evaluateSplineTable2D(table, vl::kNaturalEnd, vl::kNaturalEnd, vl::kNaturalEnd, c, g);
        }
    }
    return 0;
}
