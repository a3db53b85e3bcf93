// The pictures of one run and their page: every map of the data tables over the road, the
// luminaire's polar diagram as read and as tilted, the upward light against azimuth and
// elevation, and index.html with the installation and the key figures.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/assessment/run_assessment.hpp"
#include "core/run/run.hpp"
#include "writers/pictures/index_page.hpp"
#include "writers/pictures/pictures.hpp"

namespace vl::pictures {

struct RunPictureContext {
    std::string runStamp;
    std::string reportName;
    const assessment::RunAssessment* assessment = nullptr;  // adds its table to the page
};

// The pictures a run gives: the nine maps once the road lighting is computed, the polar
// sheet always, the two curve charts once the light pollution is computed.
std::vector<NamedPicture> runPictures(const RunInputs& inputs, const RunResult& result);

// The page of those pictures.
IndexPage runIndexPage(const RunInputs& inputs, const RunResult& result, const RunPictureContext& context,
                       const std::vector<WrittenPicture>& written);

// Draws the pictures into the folder (PNG and SVG) and writes index.html there; a folder
// or file that cannot be written throws PictureFileError naming it.
void writeRunPictures(const RunInputs& inputs, const RunResult& result, const RunPictureContext& context,
                      const std::filesystem::path& folder);

}  // namespace vl::pictures
