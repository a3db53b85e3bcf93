#include "core/roadlighting/road_fixtures.hpp"

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/photometry/emission.hpp"

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

PhotometryTable syntheticPhotometry(double cStep, double gammaStep, double lastGamma,
                                    const std::function<double(double, double)>& intensity) {
    PhotometryTable p;
    p.cStep = cStep;
    p.gammaStep = gammaStep;
    p.cCount = static_cast<int>(std::lround(360.0 / cStep)) + 1;
    p.gammaCount = static_cast<int>(std::lround(lastGamma / gammaStep)) + 1;
    for (int i = 0; i < p.cCount; ++i) p.cAngles.push_back(cStep * i);
    for (int j = 0; j < p.gammaCount; ++j) p.gammaAngles.push_back(gammaStep * j);
    p.intensity.resize(static_cast<std::size_t>(p.cCount) * static_cast<std::size_t>(p.gammaCount));
    for (int j = 0; j < p.gammaCount; ++j) {
        // The closing plane at 360 repeats C = 0.
        const double gamma = p.gammaAngles[static_cast<std::size_t>(j)];
        for (int i = 0; i < p.cCount; ++i) {
            p.I(i, j) = intensity(i + 1 == p.cCount ? 0.0 : p.cAngles[static_cast<std::size_t>(i)], gamma);
        }
    }
    LampSet lamp;
    lamp.lampCount = "1";
    lamp.lampType = "TEST LAMP";
    lamp.lampType.resize(20, ' ');
    lamp.totalFlux = 10000.0;
    lamp.wattage = 100.0;
    p.declared.lampSets.push_back(lamp);
    p.declared.downwardFluxFactor = 50.0;
    p.declared.lightOutputRatio = 80.0;
    return p;
}

PhotometryTable isotropicPhotometry(double intensity) {
    return syntheticPhotometry(90.0, 45.0, 180.0, [intensity](double, double) { return intensity; });
}

ReducedLuminanceTable constantSurface(double r) {
    ReducedLuminanceTable t;
    t.betaCount = 3;
    t.tanGammaCount = 3;
    for (int k = 0; k < 3; ++k) {
        t.betaAngles[static_cast<std::size_t>(k)] = 90.0 * k;
        t.tanGamma[static_cast<std::size_t>(k)] = 6.0 * k;
        for (int b = 0; b < 3; ++b) t.r(b, k) = r;
    }
    return t;
}

AgedAsphaltCurve constantAgedAsphalt(double rho) {
    AgedAsphaltCurve a;
    a.agedAsphaltFactor = 100.0;
    for (std::size_t k = 0; k < a.x.size(); ++k) {
        a.x[k] = 5.0 * static_cast<double>(k);
        a.y[k] = rho;
    }
    return a;
}

RoadTables::RoadTables(PhotometryTable p, ReducedLuminanceTable s, AgedAsphaltCurve c, double tilt)
    : photometry(std::move(p)),
      surface(s),
      curve(c),
      luminaire(photometry, tilt),
      reflection(surface),
      agedAsphalt(curve) {}

RoadLightingResult roadLighting(const RoadTables& tables, const InstallationData& installation,
                                const GridChoice& record, int workers, DirectionalLuminance* byDirection) {
    if (installation.tilt != tables.luminaire.tilt()) throw std::logic_error("tables and installation differ in tilt");
    RotatedPhotometry rotated;
    rotatePhotometry(tables.luminaire, rotated);
    const EmissionResult emission = computeEmission(tables.photometry, rotated.rotatedIntensity);
    const std::vector<LampSet>& lamps = tables.photometry.declared.lampSets;
    DirectionalLuminance own;
    return computeRoadLighting(installation, record, ComputationGrid{}, tables.lookups(), emission.effective,
                               tables.photometry, lamps.empty() ? LampSet{} : lamps.back(), workers, ColumnControl{},
                               byDirection ? *byDirection : own);
}

}  // namespace vl::test
