// Records for the road lighting and run tests: grid records, small synthetic tables and
// the three lookups of the road sums over tables they own. Core only: the core-alone
// test program builds this file too.
#pragma once

#include <functional>

#include "core/photometry/photometry_table.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/run/installation.hpp"
#include "core/surface/surface_table.hpp"

namespace vl::test {

// The form's defaults: 6.5 klm, W 7, S 24, V 2.5, h 7, q 0.8, tilt 0, C2, grid 1.
inline InstallationData formDefaults() {
    InstallationData d;
    d.lampFlux = 6.5;
    d.roadWidth = 7.0;
    d.spacing = 24.0;
    d.overhang = 2.5;
    d.poleHeight = 7.0;
    d.maintenanceFactor = 0.8;
    d.tilt = 0.0;
    d.surfaceClass = "C2";
    d.gridChoice = 1;
    d.photometryFile = "eulumdat.ldt";
    return d;
}

// nX x nY points with the given start flags, observers 60 m before the field at the
// lateral fractions f1 and f2.
GridChoice gridRecord(int number, int nX, char flagX, int nY, char flagY, double f1 = 0.25, double f2 = 0.75);

// Intensity(c, gamma) cd/klm over C 0..360 and gamma 0..lastGamma in the given steps, with
// one lamp set ("TEST LAMP", 10 klm, 100 W) and a declared DFF of 50 % and LORL of 80 %.
PhotometryTable syntheticPhotometry(double cStep, double gammaStep, double lastGamma,
                                    const std::function<double(double c, double gamma)>& intensity);
// The same intensity in every direction (C step 90, gamma step 45, up to 180).
PhotometryTable isotropicPhotometry(double intensity);

// r (x 10000) at every beta 0, 90, 180 and tan gamma 0, 6, 12.
ReducedLuminanceTable constantSurface(double r);
// Reflectance rho at every angle of incidence 0..90 deg.
AgedAsphaltCurve constantAgedAsphalt(double rho);

// The tables and their lookups; the lookups view the tables, so this is never copied.
class RoadTables {
public:
    RoadTables(PhotometryTable photometry, ReducedLuminanceTable surface, AgedAsphaltCurve curve, double tilt = 0.0);
    RoadTables(const RoadTables&) = delete;
    RoadTables& operator=(const RoadTables&) = delete;
    RoadLookups lookups() const { return {luminaire, reflection, agedAsphalt}; }

    const PhotometryTable photometry;
    const ReducedLuminanceTable surface;
    const AgedAsphaltCurve curve;
    const LuminaireIntensity luminaire;
    const SurfaceReflection reflection;
    const AgedAsphaltReflectance agedAsphalt;
};

// Isotropic luminaire, constant r and rho.
inline RoadTables syntheticTables(double intensity, double r = 1000.0, double rho = 0.1) {
    return RoadTables(isotropicPhotometry(intensity), constantSurface(r), constantAgedAsphalt(rho));
}

// The full-sphere road luminaire of tests/data (the bundled default's photometry), the
// bundled surface C2 and aged asphalt curve, read with the readers (bundled_tables.cpp).
RoadTables bundledTables(double tilt = 0.0);

// The road lighting phase over the tables: emission from the rotated photometry, the last
// lamp set, no earlier grid. The installation's tilt must be the tables' tilt.
RoadLightingResult roadLighting(const RoadTables& tables, const InstallationData& installation,
                                const GridChoice& record, int workers = 2, DirectionalLuminance* byDirection = nullptr);

}  // namespace vl::test
