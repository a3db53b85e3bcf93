// The bundled tables through the readers (not part of the core-alone program).
#include <string>
#include <utility>

#include "core/roadlighting/road_fixtures.hpp"
#include "readers/eulumdat.hpp"
#include "readers/surface_files.hpp"

namespace vl::test {

RoadTables bundledTables(double tilt) {
    const std::string data = VL_BUNDLED_DATA_DIR;
    EulumdatFile luminaire;
    readEulumdat(data + "/eulumdat.ldt", luminaire);
    SurfaceTableFile surface;
    readSurfaceTable(data + "/SRT_C2", surface);
    return RoadTables(std::move(luminaire.table), surface.table, readAgedAsphaltCurve(data + "/asphalt1_reflectance.dat"),
                      tilt);
}

}  // namespace vl::test
