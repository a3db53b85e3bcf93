#include "core/roadlighting/road_fixtures.hpp"

#include "core/numeric/spline.hpp"
#include "core/photometry/emission.hpp"
#include "app/driver.hpp"
#include "readers/eulumdat.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/surface/surface_table.hpp"

namespace vl::test {

GridChoice gridRecord(int number, int nX, char flagX, int nY, char flagY, double f1, double f2) {
    GridChoice g;
    g.gridTitle = "Test field";
    g.gridTitle.resize(40, ' ');
    g.gridNumber = number;
    g.pointsAlongX = nX;
    g.startFlagX = flagX;
    g.pointsAlongY = nY;
    g.startFlagY = flagY;
    g.observerDistance = 60.0;
    g.observerHeight = 1.5;
    g.observer1Offset = f1;
    g.observer2Offset = f2;
    return g;
}

void installSyntheticPhotometry(double intensity, double r, double rho) {
    ComputationState& s = state();
    PhotometryTable& p = s.photometry;
    p.cAngles = {0.0, 90.0, 180.0, 270.0, 360.0};
    p.gammaAngles = {0.0, 45.0, 90.0, 135.0, 180.0};
    p.cCount = 5;
    p.gammaCount = 5;
    p.cStep = 90.0;
    p.gammaStep = 45.0;
    p.intensity.assign(25, intensity);
    state().photometrySpline.assign(25, 0.0);
    s.lamp.lampType = "TEST LAMP";
    s.lamp.lampType.resize(20, ' ');
    s.lamp.totalFlux = 10000.0;
    s.lamp.wattage = 100.0;
    SplineTable2D table{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(), state().photometrySpline.data(), 5, 5, 5};
    prepareSplineTable2D(table, kNaturalEnd);

    ReducedLuminanceTable& t = s.surface;
    t.betaCount = 3;
    t.tanGammaCount = 3;
    t.betaAngles[0] = 0.0;
    t.betaAngles[1] = 90.0;
    t.betaAngles[2] = 180.0;
    t.tanGamma[0] = 0.0;
    t.tanGamma[1] = 6.0;
    t.tanGamma[2] = 12.0;
    for (int b = 0; b < 3; ++b) {
        for (int k = 0; k < 3; ++k) t.r(b, k) = r;
    }
    SplineTable2D surface{t.betaAngles.data(), t.tanGamma.data(), t.rValues.data(), t.rSpline.data(), 3, 3, kMaxBeta};
    prepareSplineTable2D(surface, 0.0);

    AgedAsphaltCurve& a = s.agedAsphalt;
    a.agedAsphaltFactor = 100.0;
    for (int k = 0; k < kAgedAsphaltPoints; ++k) {
        a.x[static_cast<std::size_t>(k)] = 5.0 * k;
        a.y[static_cast<std::size_t>(k)] = rho;
    }
    prepareSpline(a.x.data(), a.y.data(), kAgedAsphaltPoints, kNaturalEnd, kNaturalEnd, a.y2.data());

    s.emission.lightOutputRatio = 80.0;
    s.emission.downwardFluxFactor = 100.0;
}

void installBundledData() {
    readSurfaceTable("C2");
    readLuminaire();
    buildRotatedPhotometry();
    computeEmissionData();
    readAgedAsphaltTable();
}

void useInstallation(const InstallationData& installation, const GridChoice& record) {
    state().installation = installation;
    state().gridRecord = record;
}

}  // namespace vl::test
