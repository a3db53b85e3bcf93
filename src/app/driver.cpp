#include "app/driver.hpp"

#include "app/installation_file.hpp"
#include "app/plausibility.hpp"
#include "writers/data_tables.hpp"
#include "writers/format.hpp"
#include "writers/plot_images.hpp"
#include "writers/report_files.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "readers/eulumdat.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/process_stop.hpp"
#include "core/pollution/directional_pollution.hpp"
#include "core/pollution/integrated_pollution.hpp"
#include "core/pollution/scattering.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "app/computation_state.hpp"
#include "core/surface/surface_table.hpp"

namespace vl {

namespace {

void writeBanner() {
    const std::string at54 = fmt::repeat('@', 54);
    const std::string empty = "@" + fmt::repeat(' ', 52) + "@";
    consoleText("    ");
    consoleText("    ");
    consoleText(at54);
    consoleText(empty);
    consoleText("@                  Vesperluminal                     @");
    consoleText("@  Software for the evaluation of the environmental  @");
    consoleText("@   impact of light pollution from road lighting     @");
    consoleText(empty);
    consoleText("@ Road luminance, illuminance, glare, energy figures @");
    consoleText("@ and upward light of one straight luminaire row     @");
    consoleText(empty);
    consoleText(at54);
    consoleText("");
}

}  // namespace

void runComputation(std::string& reportName) {
    writeBanner();
    const InstallationData driverCopy = readInstallationFile();
    warnImplausibleInputs(driverCopy);
    const PhotometryDimensions dimensions = readPhotometryDimensions(driverCopy.photometryFile);
    if (driverCopy.gridChoice < 1 || driverCopy.gridChoice > 9) {
        stopWithConsoleMessage("wrong input grid choice");
    }
    const GridChoice record = readGridChoice(driverCopy.gridChoice);
    checkGridRecord(record);
    computeInstallation(dimensions.cPlanes + 1, dimensions.gammaAngles, record.pointsAlongX, record.pointsAlongY,
                        reportName);
    consoleText("Computation completed");
}

void computeInstallation(int cColumns, int gammaCount, int pointsAlongX, int pointsAlongY, std::string& reportName) {
    // The sizes come from the driver's pre-read; the phases size their tables from the
    // files themselves and the bounds were checked before this point.
    (void)cColumns;
    (void)gammaCount;
    (void)pointsAlongX;
    (void)pointsAlongY;
    ComputationState& s = state();

    // Phase 1: output files.
    openOutputFiles(reportName);

    // Phase 2: installation data, switch file, grid record.
    s.installation = readInstallationFile();
    echoInstallationData(s.installation);
    s.run.extendFlag = readExtendFlag();
    s.gridRecord = readGridChoice(s.installation.gridChoice);
    checkGridRecord(s.gridRecord);

    // Phase 3: road surface.
    readSurfaceTable(s.installation.surfaceClass);

    // Phase 4: luminaire photometry, tilt rotation, emission data.
    readPhotometry();
    buildRotatedPhotometry();
    computeEmissionData();
    if (s.installation.tilt != 0.0) writeRotatedLuminaireFluxSections();
    if (s.installation.spacing == 0.0) {
        // A rotation-only run: straight to the maximum upward intensity, which ends it.
        if (s.installation.tilt == 0.0) writeZeroSpacingNotice(false);
        reportMaximumIntensities();
        stopQuietly();
    }

    // Phase 5: road lighting.
    readAgedAsphaltTable();
    computeRoadLighting();

    // Phase 6: light pollution.
    reportDirectionalPollution();
    reportIntegratedPollution();
    reportScatteringFactors();

    // Phase 7: data tables, plot images, closing line.
    writeDataTables();
    writePlotImages();
    writeClosingLine(reportName);
}

}  // namespace vl
