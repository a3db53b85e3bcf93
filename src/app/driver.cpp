#include "app/driver.hpp"

#include <exception>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>

#include "app/computation_state.hpp"
#include "app/installation_file.hpp"
#include "app/interruption.hpp"
#include "app/plausibility.hpp"
#include "app/process_stop.hpp"
#include "app/progress.hpp"
#include "readers/eulumdat.hpp"
#include "readers/photometry_file.hpp"
#include "readers/read_error.hpp"
#include "readers/surface_files.hpp"
#include "core/assessment/run_assessment.hpp"
#include "writers/assessment_text.hpp"
#include "text/format.hpp"
#include "writers/json_results.hpp"
#include "writers/luminaire_echo.hpp"
#include "writers/report_files.hpp"
#include "writers/run_sections.hpp"
#include "writers/streams.hpp"
#include "writers/surface_echo.hpp"

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

// The aged asphalt curve is read where the road lighting begins, after the luminaire's
// sections are written; it is read ahead (without creating a missing file) and a failure
// is raised at that point.
struct AgedAsphaltAhead {
    bool missing = false;
    std::exception_ptr failure;
};

AgedAsphaltAhead readAgedAsphaltAhead(RunInputs& in) {
    AgedAsphaltAhead ahead;
    std::error_code ec;
    if (!std::filesystem::exists(kAgedAsphaltFileName, ec)) {
        ahead.missing = true;
        return ahead;
    }
    try {
        in.agedAsphalt = readAgedAsphaltCurve();
    } catch (...) {
        ahead.failure = std::current_exception();
    }
    return ahead;
}

// The lighting class assessment when the command line asked for it: assessment_<stamp>.txt
// beside the report.
std::optional<assessment::RunAssessment> assessWhenAsked(const RunInputs& in, const RunResult& result) {
    const AssessmentOptions& options = state().options.assessment;
    if (!options.assess) return std::nullopt;
    if (result.reached < RunStage::RoadLighting) {
        std::cerr << "vesperluminal: no lighting class assessment: the run computed no road lighting\n";
        return std::nullopt;
    }
    const assessment::AssessmentRequest request{options.lightingClass, options.power, options.profile};
    assessment::RunAssessment a = assessRun(in, result, request);
    const RunInfo& run = state().run;
    const InstallationData& i = in.installation;
    AssessmentReport report;
    report.heading = {
        "Run " + run.date + " " + run.time.substr(0, 4) + ", report " + fmt::padded(run.reportName, 40),
        "Installation: lamp flux " + fmt::freeReal(i.lampFlux) + " klm, road width " + fmt::freeReal(i.roadWidth) +
            " m, spacing " + fmt::freeReal(i.spacing) + " m, overhang " + fmt::freeReal(i.overhang) +
            " m, height " + fmt::freeReal(i.poleHeight) + " m, tilt " + fmt::freeReal(i.tilt) +
            " deg, maintenance factor " + fmt::freeReal(i.maintenanceFactor) + ", surface " + i.surfaceClass +
            ", grid " + std::to_string(i.gridChoice) + ", photometry " + i.photometryFile,
    };
    while (!report.heading[0].empty() && report.heading[0].back() == ' ') report.heading[0].pop_back();
    report.roadWidth = i.roadWidth;
    report.classes = a.classes;
    report.edges = a.edges;
    report.energy = a.energy;
    writeAssessmentFile(assessmentFileName(run.runStamp), assessmentText(report));
    return a;
}

// The results as JSON when the command line asked for them.
void writeJson(const RunInputs& in, const RunResult& result, const assessment::RunAssessment* assessed) {
    const ComputationState& s = state();
    if (s.options.jsonPath.empty()) return;
    JsonRunContext context;
    context.programVersion = kProgramVersion;
    if (s.photometryFormat == PhotometryFormat::Ies) {
        context.ies = &s.ies;
    } else {
        context.eulumdat = &s.eulumdat;
    }
    context.assessment = assessed;
    writeJsonResults(s.options.jsonPath, s.run, in, result, context);
}

// The pictures when the command line asked for them; a folder or file that cannot be written
// stops the run (its own files are complete by then).
void drawPicturesWhenAsked(const RunInputs& in, const RunResult& result, const assessment::RunAssessment* assessed) {
    const RunOptions& options = state().options;
    if (options.plotsFolder.empty() || !options.drawPictures) return;
    const std::string failure = options.drawPictures(in, result, assessed, options.plotsFolder);
    if (failure.empty()) return;
    const auto tab = failure.find('\t');
    stopWithFileError(failure.substr(0, tab), tab == std::string::npos ? "cannot be written" : failure.substr(tab + 1));
}

// A line on standard error when figures of the run are not finite (the files write them as
// NaN, Infinity or asterisks, as always): how many, and in which sections.
void warnNonFiniteFigures(const RunInputs& in, const RunResult& result) {
    const std::vector<NonFiniteSection> sections = nonFiniteFigures(in, result);
    if (sections.empty()) return;
    int total = 0;
    std::string where;
    for (const NonFiniteSection& section : sections) {
        total += section.count;
        where += (where.empty() ? "" : ", ") + std::to_string(section.count) + " in " + section.name;
    }
    writeWarning(std::to_string(total) + (total == 1 ? " figure of this run is" : " figures of this run are") +
                 " not finite (NaN or infinite; the files write them as NaN, Infinity or asterisks): " + where);
}

void runDriver(std::string& reportName) {
    stopIfInterrupted();
    writeBanner();
    // The installation as the run found it: the driver and the computation use this copy.
    const InstallationData driverCopy = readInstallationFile();
    warnImplausibleInputs(driverCopy);
    const PhotometryDimensions dimensions =
        readPhotometryDimensions(driverCopy.photometryFile, state().options.iesRotation).dimensions;
    if (driverCopy.gridChoice < 1 || driverCopy.gridChoice > 9) {
        stopWithConsoleMessage("wrong input grid choice");
    }
    const GridChoice record = readGridChoice(driverCopy.gridChoice);
    checkGridRecord(record);
    computeInstallation(driverCopy, dimensions.cPlanes + 1, dimensions.gammaAngles, record.pointsAlongX,
                        record.pointsAlongY, reportName);
    consoleText("Computation completed");
}

}  // namespace

void readSurface() {
    RunInputs& in = state().inputs;
    SurfaceTableFile file;
    try {
        readSurfaceTable(surfaceFileName(in.installation.surfaceClass), file);
    } catch (...) {
        writeSurfaceEcho(file);
        throw;
    }
    writeSurfaceEcho(file);
    in.surface = file.table;
}

void readLuminaire() {
    ComputationState& s = state();
    RunInputs& in = s.inputs;
    const std::string& name = in.installation.photometryFile;
    PhotometryFile file;
    const auto echo = [&] {
        if (file.format == PhotometryFormat::Ies) {
            writeIesEcho(name, file.ies);
        } else {
            writeEulumdatEcho(name, file.eulumdat);
        }
    };
    try {
        readPhotometryFile(name, file, s.options.iesRotation);
    } catch (...) {
        echo();
        throw;
    }
    echo();
    s.photometryFormat = file.format;
    if (file.format == PhotometryFormat::Ies) {
        s.ies = file.ies.header;
        in.photometry = std::move(file.ies.table);
    } else {
        s.eulumdat = file.eulumdat.header;
        in.photometry = std::move(file.eulumdat.table);
    }
    writeOriginalPhotometry(in.photometry, listingIndices(in.photometry, in.memory.listing));
}

RunControl applicationRunControl() {
    RunControl control;
    control.onEqualAbscissae = [] {
        static std::mutex mutex;
        const std::lock_guard<std::mutex> lock(mutex);
        consoleText("Bad XA input.");
        consolePause();
    };
    control.cancel = &interruptFlag();
    return control;
}

void runComputation(std::string& reportName) {
    asRunStep([&] { runDriver(reportName); });
}

void computeInstallation(const InstallationData& installation, int cColumns, int gammaCount, int pointsAlongX,
                         int pointsAlongY, std::string& reportName) {
    // The sizes come from the driver's pre-read; the phases size their tables from the
    // files themselves and the bounds were checked before this point.
    (void)cColumns;
    (void)gammaCount;
    (void)pointsAlongX;
    (void)pointsAlongY;
    ComputationState& s = state();
    s.inputs = RunInputs{};
    s.inputs.memory = s.memory;
    RunInputs& in = s.inputs;

    // Phase 1: output files.
    s.run = openOutputFiles(reportName);

    // Phase 2: installation data, switch file, grid record.
    in.installation = installation;
    echoInstallationData(in.installation);
    in.extendFlag = readExtendFlag();
    in.gridRecord = readGridChoice(in.installation.gridChoice);
    checkGridRecord(in.gridRecord);

    // Phase 3: road surface.
    readSurface();

    // Phase 4: luminaire photometry, tilt rotation, emission data (and the aged asphalt
    // curve of phase 5, read ahead).
    readLuminaire();
    std::optional<AgedAsphaltAhead> ahead;
    if (in.installation.spacing != 0.0) ahead = readAgedAsphaltAhead(in);
    RunResult result;
    {
        ProgressDisplay progress(s.options.progressShow ? s.options.progressShow : standardErrorProgress());
        RunControl control = applicationRunControl();
        control.progress = [&progress](const char* phase, double fraction) { progress.update(phase, fraction); };
        result = evaluate(in, control);
    }
    if (result.end == RunEnd::Interrupted && result.stopStage == RunStage::Luminaire) stopInterruptedRun();
    writeLuminaireStage(s.run, in, result);
    if (result.end == RunEnd::RotationError && result.stopStage == RunStage::Luminaire) {
        stopWithConsoleMessage(result.stopMessage);
    }
    if (result.end == RunEnd::RotationOnly) {
        warnNonFiniteFigures(in, result);
        stopIfInterrupted();  // the run's files are complete: nothing more is written
        (void)assessWhenAsked(in, result);
        writeJson(in, result, nullptr);
        drawPicturesWhenAsked(in, result, nullptr);
        stopQuietly();  // the designed end of a rotation-only run
    }

    // An interrupted run writes what it computed, then says that it is incomplete.
    if (result.end == RunEnd::Interrupted) {
        writeRoadAndPollutionStages(s.run, in, result);
        stopInterruptedRun();
    }

    // Phases 5 to 7: road lighting, light pollution, data tables, plot images.
    if (result.end == RunEnd::NoAgedAsphalt && ahead) {
        if (ahead->failure) std::rethrow_exception(ahead->failure);
        readAgedAsphaltCurve();  // a missing file is created empty; its first read fails
    }
    if (result.end == RunEnd::RotationError) {
        writeRoadLightingStart(in, result);
        stopWithConsoleMessage(result.stopMessage);
    }
    writeRoadAndPollutionStages(s.run, in, result);
    warnNonFiniteFigures(in, result);
    stopIfInterrupted();  // the run's files are complete: nothing more is written
    s.assessment = assessWhenAsked(in, result);
    const assessment::RunAssessment* assessed = s.assessment ? &*s.assessment : nullptr;
    writeJson(in, result, assessed);
    s.memory = result.memory;
    s.result = std::move(result);
    drawPicturesWhenAsked(in, s.result, assessed);
}

}  // namespace vl
