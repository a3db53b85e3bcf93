// The surface table reader and the aged asphalt curve reader on the same bytes, each
// followed by a few lookups in the prepared table.
#include <cstddef>
#include <cstdint>

#include "core/surface/surface_table.hpp"
#include "fuzz_support.hpp"
#include "readers/read_error.hpp"
#include "readers/surface_files.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vl::fuzz::writeInput("SRT_FZ", data, size);
    try {
        vl::SurfaceTableFile file;
        vl::readSurfaceTable(vl::surfaceFileName("FZ"), file);
        const vl::ReducedLuminanceTable& t = file.table;
        vl::fuzz::require(file.titleLinesRead == 4);
        vl::fuzz::require(t.betaCount >= 2 && t.betaCount <= vl::kMaxBeta);
        vl::fuzz::require(t.tanGammaCount >= 2 && t.tanGammaCount <= vl::kMaxTanGamma);
        for (const auto& line : file.titleLines) vl::fuzz::require(line.size() <= 78);
        const vl::SurfaceReflection surface(t);
        for (double beta : {0.0, 15.0, 90.0, 180.0}) {
            for (double tg : {0.0, 1.0, 12.0}) (void)surface.coefficient(beta, tg);
        }
    } catch (const vl::InputRefusal&) {
    } catch (const vl::ReadError&) {
    }
    vl::fuzz::writeInput("asphalt1_reflectance.dat", data, size);
    try {
        const vl::AgedAsphaltReflectance curve(vl::readAgedAsphaltCurve());
        for (double g : {0.0, 45.0, 89.0}) (void)curve.at(g);
    } catch (const vl::InputRefusal&) {
    } catch (const vl::ReadError&) {
    }
    return 0;
}
