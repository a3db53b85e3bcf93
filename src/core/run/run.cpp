#include "core/run/run.hpp"

#include <utility>

namespace vl {

namespace {

void report(const RunControl& control, const char* phase, double fraction) {
    if (control.progress) control.progress(phase, fraction);
}

bool cancelled(const RunControl& control) {
    return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
}

// The result of a run stopped at a safe point: what it reached stays, the rest is empty.
RunResult interrupted(RunResult r, RunStage reached, RunStage stoppedIn) {
    r.end = RunEnd::Interrupted;
    r.reached = reached;
    r.stopStage = stoppedIn;
    return r;
}

}  // namespace

RunResult evaluate(const RunInputs& in, const RunControl& control) {
    RunResult r;
    const InstallationData& installation = in.installation;
    const PhotometryTable& photometry = in.photometry;
    r.memory = in.memory;
    r.listing = listingIndices(photometry, in.memory.listing);
    r.memory.listing = r.listing;
    if (!photometry.declared.lampSets.empty()) r.memory.lamp = photometry.declared.lampSets.back();

    // Luminaire: the photometry turned by the tilt, the emission data.
    if (cancelled(control)) return interrupted(std::move(r), RunStage::Luminaire, RunStage::Luminaire);
    report(control, "luminaire", 0.0);
    const LuminaireIntensity luminaire(photometry, installation.tilt, control.onEqualAbscissae);
    try {
        rotatePhotometry(luminaire, r.rotated);
    } catch (const RotationError& error) {
        r.end = RunEnd::RotationError;
        r.stopMessage = error.what();
        return r;
    }
    r.emission = computeEmission(photometry, r.rotated.rotatedIntensity);
    const EmissionData& emission = r.emission.effective;
    if (installation.spacing == 0.0) {
        r.end = RunEnd::RotationOnly;
        r.directional.maxLuminaire = maximumUpwardIntensity(photometry, installation.tilt, emission);
        return r;
    }
    if (!in.agedAsphalt) {
        r.end = RunEnd::NoAgedAsphalt;
        return r;
    }

    // Road lighting.
    if (cancelled(control)) return interrupted(std::move(r), RunStage::Luminaire, RunStage::RoadLighting);
    report(control, "road lighting", 0.0);
    const SurfaceReflection surface(in.surface, control.onEqualAbscissae);
    const AgedAsphaltReflectance agedAsphalt(*in.agedAsphalt, control.onEqualAbscissae);
    const RoadLookups lookups{luminaire, surface, agedAsphalt};
    ComputationGrid earlier;
    earlier.offsetX = in.memory.gridOffsetX;
    earlier.offsetY = in.memory.gridOffsetY;
    DirectionalLuminance luminanceByDirection;
    ColumnControl columns{control.cancel, {}};
    if (control.progress) columns.progress = [&control](double fraction) { control.progress("road lighting", fraction); };
    try {
        r.road = computeRoadLighting(installation, in.gridRecord, earlier, lookups, emission, photometry,
                                     r.memory.lamp, control.workers, columns, luminanceByDirection);
    } catch (const RotationError& error) {
        // A direction below a luminaire mounted lower than the eye, for example.
        r.end = RunEnd::RotationError;
        r.stopMessage = error.what();
        r.stopStage = RunStage::RoadLighting;
        r.road = RoadLightingResult{};
        r.road.grid = setupGrid(in.gridRecord, roadInstallation(installation), earlier.offsetX, earlier.offsetY);
        return r;
    } catch (const RunCancelled&) {
        return interrupted(std::move(r), RunStage::Luminaire, RunStage::RoadLighting);
    }
    r.memory.gridOffsetX = r.road.grid.offsetX;
    r.memory.gridOffsetY = r.road.grid.offsetY;
    r.reached = RunStage::RoadLighting;

    // Light pollution.
    if (cancelled(control)) return interrupted(std::move(r), RunStage::RoadLighting, RunStage::Pollution);
    report(control, "light pollution", 0.0);
    const PollutionInputs pollution{installation, photometry, luminaire, emission, r.rotated.rotatedIntensity};
    r.directional = computeDirectionalPollution(pollution, r.road.grid, luminanceByDirection);
    r.integrated = computeIntegratedPollution(pollution, r.directional, r.road, *in.agedAsphalt);
    r.scattering = computeScatteringFactors(pollution, r.directional, r.integrated);
    r.reached = RunStage::Pollution;

    if (cancelled(control)) return interrupted(std::move(r), RunStage::Pollution, RunStage::Complete);
    if (in.extendFlag == 1 && photometry.gammaCount > 0 && photometry.lastGamma() == 180.0) {
        r.plot = buildPlotModel(pollution, r.directional, agedAsphalt);
    }
    r.reached = RunStage::Complete;
    report(control, "done", 1.0);
    return r;
}

}  // namespace vl
