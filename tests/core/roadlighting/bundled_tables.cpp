// The bundled tables through the readers (not part of the core-alone program).
#include <string>
#include <utility>

#include "core/roadlighting/road_fixtures.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"

namespace vl::test {

RoadTables bundledTables(double tilt) {
    const std::string data = VL_BUNDLED_DATA_DIR;
    // The full-sphere road luminaire (today also the bundled default), kept whatever the default.
    EulumdatFile luminaire;
    readEulumdat(std::string(VL_TEST_DATA_DIR) + "/ldt/derived/strada_nogap.ldt", luminaire);
    SurfaceTableFile surface;
    readSurfaceTable(data + "/SRT_C2", surface);
    return RoadTables(std::move(luminaire.table), surface.table, readAgedAsphaltCurve(data + "/asphalt1_reflectance.dat"),
                      tilt);
}

}  // namespace vl::test
