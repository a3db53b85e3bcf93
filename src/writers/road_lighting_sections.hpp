// The road lighting sections of the Console and the report.
#pragma once

#include "core/run/run.hpp"
#include "writers/streams.hpp"

namespace vl {

// "Grid data:" on one stream.
void writeGridData(Stream stream, const ComputationGrid& grid, const RoadInstallation& road);
// Heading of "Road lighting parameters:" on both streams and the maintenance factor line.
void writeRoadLightingHeading(double q);
// The 68 lines of the section body on one stream.
void writeRoadLightingBody(Stream stream, const RoadLightingResult& result);
// "Energy and cost parameters:" on both streams.
void writeEnergySection(const RoadLightingResult& result);

// Grid data, road lighting parameters and energy sections, in their order.
void writeRoadLightingSections(const RunInputs& inputs, const RunResult& result);

}  // namespace vl
