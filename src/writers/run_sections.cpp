#include "writers/run_sections.hpp"

#include "writers/data_tables.hpp"
#include "writers/luminaire_sections.hpp"
#include "writers/plot_images.hpp"
#include "writers/pollution_sections.hpp"
#include "writers/road_lighting_sections.hpp"
#include "writers/streams.hpp"

namespace vl {

void writeLuminaireStage(const RunInfo& info, const RunInputs& inputs, const RunResult& result) {
    writeLuminaireSections(info, inputs, result);
}

void writeRoadLightingStart(const RunInputs& inputs, const RunResult& result) {
    const RoadInstallation road = roadInstallation(inputs.installation);
    writeGridData(Stream::Console, result.road.grid, road);
    writeGridData(Stream::Report, result.road.grid, road);
}

void writeRoadAndPollutionStages(const RunInfo& info, const RunInputs& inputs, const RunResult& result) {
    if (result.reached < RunStage::RoadLighting) return;
    writeRoadLightingSections(inputs, result);
    if (result.reached < RunStage::Pollution) return;
    writePollutionSections(inputs, result);
    if (result.reached < RunStage::Complete) return;
    writeDataTables(inputs, result);
    writePlotImages(info, inputs, result);
    writeClosingLine(info.reportName);
}

}  // namespace vl
