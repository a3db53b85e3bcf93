// Placeholders for phases under construction: weak definitions that the real modules
// replace at link time. This file goes once every phase exists.
#include <string>

#include "numeric/spline.hpp"
#include "output/data_tables.hpp"
#include "output/plot_images.hpp"
#include "photometry/emission.hpp"
#include "photometry/eulumdat.hpp"
#include "photometry/tilt_rotation.hpp"
#include "pollution/directional_pollution.hpp"
#include "pollution/integrated_pollution.hpp"
#include "pollution/scattering.hpp"
#include "roadlighting/road_lighting.hpp"
#include "surface/surface_table.hpp"

#define VL_WEAK __attribute__((weak))

namespace vl {

VL_WEAK void prepareSpline(const double*, const double*, int, double, double, double*) {}
VL_WEAK double evaluateSpline(const double*, const double*, const double*, int, double) { return 0; }
VL_WEAK void prepareSplineTable2D(const SplineTable2D&, double) {}
VL_WEAK double evaluateSplineTable2D(const SplineTable2D&, double, double, double, double, double) { return 0; }
VL_WEAK void readSurfaceTable(const std::string&) {}
VL_WEAK void readAgedAsphaltTable() {}
VL_WEAK double reducedLuminanceCoefficient(double, double) { return 0; }
VL_WEAK double agedAsphaltReflectance(double) { return 0; }
VL_WEAK PhotometryDimensions readPhotometryDimensions(const std::string&) { return {24, 37}; }
VL_WEAK void readPhotometry() {}
VL_WEAK Direction rotang(double c, double g, double) { return {c, g}; }
VL_WEAK Direction rotphot(double c, double g, double) { return {c, g}; }
VL_WEAK double luminaireIntensityAt(double, double) { return 0; }
VL_WEAK void buildRotatedPhotometry() {}
VL_WEAK void writeRotatedLuminaireFluxSections() {}
VL_WEAK void writeZeroSpacingNotice(bool) {}
VL_WEAK double cWidth(int) { return 0; }
VL_WEAK double gammaWidth(int) { return 0; }
VL_WEAK double bandSolidAngle(double, double, double) { return 0; }
VL_WEAK void computeEmissionData() {}
VL_WEAK void computeRoadLighting() {}
VL_WEAK void reportDirectionalPollution() {}
VL_WEAK void reportMaximumIntensities() {}
VL_WEAK void reportIntegratedPollution() {}
VL_WEAK double scatteredFraction(double) { return 0; }
VL_WEAK void reportScatteringFactors() {}
VL_WEAK void writeDataTables() {}
VL_WEAK void writePlotImages() {}

}  // namespace vl
