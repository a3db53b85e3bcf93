// The surface table reader (class "FZ", file SRT_FZ) and the aged asphalt curve reader
// on the same bytes, each followed by a few lookups.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/read_error.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"
#include "core/surface/surface_table.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vl::fuzz::writeInput("SRT_FZ", data, size);
    try {
        vl::readSurfaceTable("FZ");
        const vl::ReducedLuminanceTable& t = vl::state().surface;
        vl::fuzz::require(t.betaCount >= 2 && t.betaCount <= vl::kMaxBeta);
        vl::fuzz::require(t.tanGammaCount >= 2 && t.tanGammaCount <= vl::kMaxTanGamma);
        for (auto& line : t.surfaceTitleLines) vl::fuzz::require(line.size() <= 78);
        for (double beta : {0.0, 15.0, 90.0, 180.0}) {
            for (double tg : {0.0, 1.0, 12.0}) (void)vl::reducedLuminanceCoefficient(beta, tg);
        }
    } catch (const vl::ProcessStop&) {
    } catch (const vl::ReadError&) {
    }
    vl::fuzz::writeInput("asphalt1_reflectance.dat", data, size);
    try {
        vl::readAgedAsphaltTable();
        for (double g : {0.0, 45.0, 89.0}) (void)vl::agedAsphaltReflectance(g);
    } catch (const vl::ProcessStop&) {
    } catch (const vl::ReadError&) {
    }
    return 0;
}
