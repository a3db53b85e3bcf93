// The Eulumdat reader: the driver's pre-read of Mc and Ng, then the whole file, then a
// few lookups in the prepared table.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "core/numeric/spline.hpp"
#include "readers/eulumdat.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kName = "fuzz.ldt";
    vl::fuzz::writeInput(kName, data, size);
    vl::ComputationState& s = vl::state();
    s.installation.photometryFile = kName;
    try {
        const vl::PhotometryDimensions dims = vl::readPhotometryDimensions(kName);
        vl::fuzz::require(dims.cPlanes >= 1 && dims.cPlanes + 1 <= vl::kMaxTableAxis);
        vl::fuzz::require(dims.gammaAngles >= 2 && dims.gammaAngles <= vl::kMaxTableAxis);
        vl::readPhotometry();
    } catch (const vl::ProcessStop&) {
        return 0;
    }
    const vl::PhotometryTable& p = s.photometry;
    const auto nc = static_cast<std::size_t>(p.cCount);
    const auto ng = static_cast<std::size_t>(p.gammaCount);
    vl::fuzz::require(p.cAngles.size() == nc && p.gammaAngles.size() == ng);
    vl::fuzz::require(p.intensity.size() == nc * ng && p.intensitySpline.size() == nc * ng);
    vl::fuzz::require(p.cAngles.back() == 360.0);
    for (std::size_t i = 1; i < nc; ++i) vl::fuzz::require(p.cAngles[i] > p.cAngles[i - 1]);
    for (std::size_t j = 1; j < ng; ++j) vl::fuzz::require(p.gammaAngles[j] > p.gammaAngles[j - 1]);
    // The closing plane repeats the first.
    for (std::size_t j = 0; j < ng; ++j) {
        vl::fuzz::require(p.intensity[nc - 1 + nc * j] == p.intensity[nc * j]);
    }
    const vl::SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(),
                                  const_cast<double*>(p.intensitySpline.data()), p.cCount, p.gammaCount, p.cCount};
    for (double c : {0.0, 45.0, 180.0, 359.0}) {
        for (double g : {0.0, 30.0, 89.0, 170.0}) {
            (void)vl::evaluateSplineTable2D(table, vl::kNaturalEnd, vl::kNaturalEnd, vl::kNaturalEnd, c, g);
        }
    }
    return 0;
}
