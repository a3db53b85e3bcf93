#include "core/assessment/run_assessment.hpp"

#include "core/roadlighting/luminance.hpp"

namespace vl::assessment {

RunAssessment assessRun(const RunInputs& in, const RunResult& result, const AssessmentRequest& request) {
    RunAssessment a;
    const RoadLightingResult& road = result.road;
    const ComputationGrid& grid = road.grid;
    const RoadInstallation installation = roadInstallation(in.installation);

    // The edge strips: the same luminaires, lookup and tilt as the road grid, on its columns.
    const LuminaireIntensity luminaire(in.photometry, in.installation.tilt);
    EdgeStripLayout layout;
    layout.roadWidth = in.installation.roadWidth;
    layout.cellY = grid.cellY;
    for (int i = 0; i < grid.pointsAlongX; ++i) layout.columns.push_back(gridPointX(grid, i));
    a.edges = computeEdgeStripsBatched(layout, [&](std::span<const RoadPoint> points, std::span<double> values) {
        horizontalIlluminanceMany(installation, luminaire, points, values);
    });

    InstallationFigures& f = a.figures;
    f.observers = {{road.luminanceObserver1Stats.average, road.overallUniformity1, road.lengthwiseUniformity1,
                    road.thresholdIncrement1},
                   {road.luminanceObserver2Stats.average, road.overallUniformity2, road.lengthwiseUniformity2,
                    road.thresholdIncrement2}};
    f.edgeIlluminanceRatio = a.edges.ratio;
    f.averageIlluminance = road.horizontalIlluminanceStats.average;
    f.minimumIlluminance = road.horizontalIlluminanceStats.minimum;
    a.classes = assess(f, request.lightingClass);

    EnergyInputs energy;
    energy.subAreas = spacingSubAreas(in.installation.spacing, in.installation.roadWidth, f.averageIlluminance, a.edges);
    energy.lampFlux = in.installation.lampFlux;
    energy.declaredWattage = road.energy.lamp.wattage;
    energy.declaredFlux = road.energy.lamp.totalFlux;
    energy.power = request.power;
    energy.profile = request.profile;
    a.energy = computeEnergyIndicators(energy);
    return a;
}

}  // namespace vl::assessment
