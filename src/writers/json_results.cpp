#include "writers/json_results.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "writers/streams.hpp"

namespace vl {

namespace {

using Json = nlohmann::ordered_json;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

Json statistics(const MapStatistics& s) {
    return {{"average", s.average}, {"rms", s.rms}, {"minimum", s.minimum}, {"maximum", s.maximum}};
}

Json emissionFigures(const EmissionFigures& f) {
    return {{"downward_flux_factor_percent", f.downwardFluxFactor},
            {"upward_flux_factor_percent", f.upwardFluxFactor},
            {"light_output_ratio_percent", f.lightOutputRatio},
            {"downward_light_output_ratio_percent", f.downwardLightOutputRatio},
            {"upward_light_output_ratio_percent", f.upwardLightOutputRatio}};
}

Json mapValues(const GridMap& map) {
    Json rows = Json::array();
    for (int j = 0; j < map.nY(); ++j) {
        std::vector<double> row;
        row.reserve(static_cast<std::size_t>(map.nX()));
        for (int i = 0; i < map.nX(); ++i) row.push_back(map(i, j));
        rows.push_back(row);
    }
    return rows;
}

Json upward(const UpwardIntensities& u) {
    Json j = {{"road_cd_per_klm_lamp", u.road}, {"road_cd_per_klm_luminaire", u.roadPerLuminaireFlux}};
    if (u.fixtureAvailable) {
        j["luminaire_cd_per_klm_lamp"] = u.fixture;
        j["luminaire_cd_per_klm_luminaire"] = u.fixturePerLuminaireFlux;
        j["ratio_percent"] = u.ratioPercent;
    } else {
        j["luminaire_cd_per_klm_lamp"] = nullptr;
        j["luminaire_cd_per_klm_luminaire"] = nullptr;
        j["ratio_percent"] = nullptr;
        j["not_available"] = "the photometry does not reach this direction";
    }
    return j;
}

Json inputsJson(const RunInputs& in, const JsonRunContext& context) {
    const InstallationData& i = in.installation;
    const GridChoice& g = in.gridRecord;
    const PhotometryTable& p = in.photometry;
    Json lampSets = Json::array();
    for (const LampSet& lamp : p.declared.lampSets) {
        lampSets.push_back({{"lamp_count", trimmed(lamp.lampCount)},
                            {"lamp_type", trimmed(lamp.lampType)},
                            {"total_flux_lm", lamp.totalFlux},
                            {"colour_temperature", trimmed(lamp.colourTemperature)},
                            {"colour_rendering", trimmed(lamp.colourRendering)},
                            {"wattage_w", lamp.wattage}});
    }
    Json photometry = {{"file", i.photometryFile},
                       {"c_planes", p.cCount > 0 ? p.cCount - 1 : 0},
                       {"gamma_angles", p.gammaCount},
                       {"c_step_deg", p.cStep},
                       {"gamma_step_deg", p.gammaStep},
                       {"last_gamma_deg", p.lastGamma()},
                       {"declared",
                        {{"downward_flux_factor_percent", p.declared.downwardFluxFactor},
                         {"light_output_ratio_percent", p.declared.lightOutputRatio},
                         {"measurement_tilt_deg", p.declared.measurementTilt},
                         {"lamp_sets", lampSets}}}};
    if (context.ies != nullptr) {
        const IesHeader& h = *context.ies;
        photometry["format"] = "ies";
        Json keywords = Json::object();
        for (const IesKeyword& k : h.keywords) {
            if (!keywords.contains(k.name)) keywords[k.name] = k.value;
        }
        photometry["ies"] = {{"version", std::string(iesVersionName(h.version))},
                             {"identification", trimmed(h.identification())},
                             {"luminaire_name", trimmed(h.luminaireName())},
                             {"keywords", keywords},
                             {"rotation_deg", h.rotation},
                             {"absolute_photometry", h.absolute},
                             {"luminaire_flux_lm", h.luminaireFlux},
                             {"input_watts", h.inputWatts}};
    }
    if (context.eulumdat != nullptr) {
        const EulumdatHeader& h = *context.eulumdat;
        photometry["format"] = "eulumdat";
        photometry["eulumdat"] = {{"identification", trimmed(h.identification)},
                                  {"luminaire_name", trimmed(h.luminaireName)},
                                  {"type_indicator", h.typeIndicator},
                                  {"symmetry", h.symmetry},
                                  {"conversion_factor", h.conversionFactor},
                                  {"lamp_set_count", h.lampSetCount}};
    }
    return {{"installation",
             {{"lamp_flux_klm", i.lampFlux},
              {"road_width_m", i.roadWidth},
              {"spacing_m", i.spacing},
              {"overhang_m", i.overhang},
              {"pole_height_m", i.poleHeight},
              {"maintenance_factor", i.maintenanceFactor},
              {"tilt_deg", i.tilt},
              {"surface_class", i.surfaceClass},
              {"grid_choice", i.gridChoice},
              {"photometry_file", i.photometryFile}}},
            {"grid_record",
             {{"title", trimmed(g.gridTitle)},
              {"number", g.gridNumber},
              {"points_along_x", g.pointsAlongX},
              {"start_flag_x", std::string(1, g.startFlagX)},
              {"points_along_y", g.pointsAlongY},
              {"start_flag_y", std::string(1, g.startFlagY)},
              {"observer_distance_m", g.observerDistance},
              {"observer_height_m", g.observerHeight},
              {"observer1_fraction", g.observer1Offset},
              {"observer2_fraction", g.observer2Offset}}},
            {"extend_flag", in.extendFlag},
            {"photometry", photometry}};
}

Json roadLightingJson(const RunInputs& in, const RoadLightingResult& r) {
    const ComputationGrid& g = r.grid;
    const RoadInstallation road = roadInstallation(in.installation);
    std::vector<double> x;
    std::vector<double> y;
    for (int i = 1; i <= g.pointsAlongX; ++i) {
        x.push_back(g.offsetX + (in.installation.spacing * static_cast<double>(i - 1)) / static_cast<double>(g.pointsAlongX));
    }
    for (int j = 1; j <= g.pointsAlongY; ++j) {
        y.push_back(g.offsetY + (in.installation.roadWidth * static_cast<double>(j - 1)) / static_cast<double>(g.pointsAlongY));
    }
    const double illuminance = r.horizontalIlluminanceStats.average;
    const double atInfinity = r.luminanceAtInfinityStats.average;
    const double observed = r.luminanceObserver1Stats.average;
    const MapStatistics& e = r.horizontalIlluminanceStats;
    const MapStatistics& ehs = r.hemisphericalIlluminanceStats;
    auto observer = [&](int n) {
        const bool first = n == 1;
        return Json{{"y_m", observerY(g, road, n)},
                    {"maintained_luminance_cd_m2", statistics(first ? r.luminanceObserver1Stats : r.luminanceObserver2Stats)},
                    {"overall_uniformity", first ? r.overallUniformity1 : r.overallUniformity2},
                    {"lengthwise_uniformity", first ? r.lengthwiseUniformity1 : r.lengthwiseUniformity2},
                    {"veiling_luminance_cd_m2", first ? r.veilingLuminanceObserver1 : r.veilingLuminanceObserver2},
                    {"threshold_increment_percent", first ? r.thresholdIncrement1 : r.thresholdIncrement2}};
    };
    return {
        {"grid",
         {{"title", trimmed(g.gridTitle)},
          {"points_along_x", g.pointsAlongX},
          {"points_along_y", g.pointsAlongY},
          {"cell_x_m", g.cellX},
          {"cell_y_m", g.cellY},
          {"offset_x_m", g.offsetX},
          {"offset_y_m", g.offsetY},
          {"spacing_ratio", road.spacing / road.poleHeight},
          {"observer_distance_m", g.observerDistance},
          {"observer_height_m", g.observerHeight}}},
        {"maintenance_factor", road.maintenanceFactor},
        {"at_infinity", {{"average_maintained_luminance_cd_m2", atInfinity}, {"maintained_luminance_cd_m2", statistics(r.luminanceAtInfinityStats)}}},
        {"observer1", observer(1)},
        {"observer2", observer(2)},
        {"maintained_horizontal_illuminance_lx",
         {{"average", e.average}, {"rms", e.rms}, {"minimum", e.minimum}, {"maximum", e.maximum},
          {"min_over_average", e.minimum / e.average}, {"min_over_max", e.minimum / e.maximum}}},
        {"luminance_coefficient_cd_per_lm", {{"at_infinity", atInfinity / illuminance}, {"observed", observed / illuminance}}},
        {"illuminance_per_luminance_lx_per_cd_m2", {{"at_infinity", illuminance / atInfinity}, {"observed", illuminance / observed}}},
        {"veiling_luminance_on_road_cd_m2", statistics(r.veilingLuminanceStats)},
        {"threshold_increment_percent",
         {{"maximum", r.thresholdIncrement1 >= r.thresholdIncrement2 ? r.thresholdIncrement1 : r.thresholdIncrement2},
          {"observer1", r.thresholdIncrement1},
          {"observer2", r.thresholdIncrement2}}},
        {"glare_rating", statistics(r.glareRatingStats)},
        {"maintained_semicylindrical_illuminance_lx", statistics(r.semicylindricalIlluminanceStats)},
        {"maintained_vertical_illuminance_lx", statistics(r.verticalIlluminanceStats)},
        {"maintained_hemispherical_illuminance_lx",
         {{"average", ehs.average}, {"rms", ehs.rms}, {"minimum", ehs.minimum}, {"maximum", ehs.maximum},
          {"min_over_average", ehs.minimum / ehs.average}}},
        {"aged_asphalt_reflected_percent", r.agedAsphaltReflectedPercent},
        {"maps",
         {{"x_m", x},
          {"y_m", y},
          {"layout", "rows from y_m[0] upwards, each row along x_m"},
          {"maintained_luminance_at_infinity_cd_m2", mapValues(r.luminanceAtInfinity)},
          {"maintained_luminance_observer1_cd_m2", mapValues(r.luminanceObserver1)},
          {"maintained_luminance_observer2_cd_m2", mapValues(r.luminanceObserver2)},
          {"maintained_horizontal_illuminance_lx", mapValues(r.horizontalIlluminance)},
          {"maintained_hemispherical_illuminance_lx", mapValues(r.hemisphericalIlluminance)},
          {"maintained_semicylindrical_illuminance_lx", mapValues(r.semicylindricalIlluminance)},
          {"maintained_vertical_illuminance_lx", mapValues(r.verticalIlluminance)},
          {"initial_veiling_luminance_cd_m2", mapValues(r.veilingLuminance)},
          {"glare_rating", mapValues(r.glareRating)}}}};
}

Json energyJson(const EnergyFigures& e) {
    Json j = {{"utilization_factor", e.fluxUse.utilizationFactor}};
    if (e.incompleteForTilt) {
        j["flux_fractions_not_available"] = "a tilted photometry that stops short of gamma 180 deg";
    } else {
        j["used_luminaire_flux_percent"] = e.fluxUse.usedLuminaireFluxPercent;
        j["wasted_luminaire_flux_percent"] = e.wastedLuminaireFluxPercent;
        j["used_downward_flux_percent"] = e.usedDownwardFluxPercent;
        j["wasted_downward_flux_percent"] = e.fluxUse.wastedDownwardFluxPercent;
    }
    j["luminaires_per_km"] = e.luminairesPerKm;
    j["lamp_flux_per_length_klm_per_km"] = e.fluxPerLength;
    j["lamp_flux_per_area_lm_per_m2"] = e.fluxPerArea;
    j["initial_flux_per_length_per_luminance_klm_km_per_cd_m2"] = e.initialFluxPerLengthPerLuminance;
    j["maintained_flux_per_length_per_luminance_klm_km_per_cd_m2"] = e.maintainedFluxPerLengthPerLuminance;
    j["initial_photometric_efficacy_lm_per_cd"] = e.initialPhotometricEfficacy;
    j["maintained_photometric_efficacy_lm_per_cd"] = e.maintainedPhotometricEfficacy;
    j["power_per_length_per_luminance_kw_km_per_cd_m2"] = e.powerPerLengthPerLuminance;
    j["energetic_efficacy_w_per_cd"] = e.energeticEfficacy;
    j["lamp_type"] = trimmed(e.lamp.lampType);
    j["lamp_flux_lm"] = e.lamp.totalFlux;
    j["lamp_wattage_w"] = e.lamp.wattage;
    j["lamp_efficacy_lm_per_w"] = e.lampEfficacy;
    return j;
}

Json maximumLuminaireJson(const MaximumLuminaireIntensity& max) {
    if (!max.found) return nullptr;
    return {{"cd_per_klm_lamp", max.intensity},
            {"cd_per_klm_luminaire", max.perLuminaireFlux},
            {"c_deg", max.at.c},
            {"gamma_deg", max.at.gamma}};
}

Json pollutionJson(const RunResult& result) {
    const DirectionalPollution& d = result.directional;
    Json byAzimuth = Json::array();
    for (int k = 0; k < kDirections; ++k) {
        byAzimuth.push_back({{"azimuth_deg", d.azimuthDeg[static_cast<std::size_t>(k)]},
                             {"maintained_luminance_cd_m2", d.avgLuminanceByAzimuth[static_cast<std::size_t>(k)]}});
    }
    Json table = Json::array();
    for (const DirectionRow& row : d.directionTable) {
        Json entry = {{"elevation_deg", row.alpha}, {"azimuth_deg", row.azimuth}};
        entry.update(upward(row.intensities));
        table.push_back(entry);
    }
    Json averages = Json::array();
    for (int n = 0; n < kElevations; ++n) {
        Json entry = {{"elevation_deg", kElevationSet[n]}};
        entry.update(upward(d.averages[static_cast<std::size_t>(n)]));
        averages.push_back(entry);
    }
    Json directional = {{"average_luminance_by_azimuth", byAzimuth},
                        {"mean_luminance_cd_m2", d.meanLuminance},
                        {"upward_intensity_by_direction", table},
                        {"upward_intensity_by_elevation", averages},
                        {"maximum_upward_luminaire_intensity", maximumLuminaireJson(d.maxLuminaire)},
                        {"maximum_upward_road_intensity",
                         {{"cd_per_klm_lamp", d.maxRoadIntensity},
                          {"cd_per_klm_luminaire", d.maxRoadIntensityPerLuminaireFlux},
                          {"gamma_deg", 180.0}}}};

    const IntegratedPollution& i = result.integrated;
    Json integrated = nullptr;
    if (i.computed) {
        integrated = {{"direct_upward_flux_ratio_percent", i.directUpwardFluxRatio},
                      {"road_reflected_upward_flux_ratio_percent", i.roadReflectedRatio},
                      {"road_reflected_upward_flux_ratio_aged_asphalt_percent", i.roadReflectedRatioAgedAsphalt},
                      {"out_of_road_reflected_upward_flux_ratio_percent", i.outOfRoadReflectedRatio},
                      {"increase_of_upflux_ratio_direct_percent", i.directIncreasePercent},
                      {"increase_of_upflux_ratio_out_of_road_percent", i.outOfRoadIncreasePercent},
                      {"direct_uplight_density_lm_per_m2", i.directUplightDensity},
                      {"road_uplight_density_lm_per_m2", i.roadUplightDensity},
                      {"out_of_road_uplight_density_lm_per_m2", i.outOfRoadUplightDensity},
                      {"increase_of_uplight_density_direct_percent", i.densityDirectIncreasePercent},
                      {"increase_of_uplight_density_out_of_road_percent", i.densityOutOfRoadIncreasePercent}};
    }

    const ScatteringFactors& f = result.scattering;
    Json hemispheric = nullptr;
    if (f.hemisphericAvailable) {
        hemispheric = {{"direct_scattered_flux_factor_percent", f.directScattered},
                       {"road_scattered_flux_factor_percent", f.roadScattered},
                       {"out_of_road_scattered_flux_factor_percent", f.outOfRoadScattered},
                       {"increase_of_scattered_flux_direct_percent", f.directIncreasePercent},
                       {"increase_of_scattered_flux_out_of_road_percent", f.outOfRoadIncreasePercent}};
    }
    Json lowAngle = nullptr;
    if (f.lowAngleAvailable) {
        auto scaled = [&](double value) { return f.outOfRoadAvailable ? Json(value) : Json(nullptr); };
        lowAngle = {{"direct_upward_flux_factor_percent", f.lowAngleDirectUp},
                    {"road_upward_flux_factor_percent", f.lowAngleRoadUp},
                    {"out_of_road_upward_flux_factor_percent", scaled(f.lowAngleOutOfRoadUp)},
                    {"increase_of_upward_flux_direct_percent", f.lowAngleDirectUpIncreasePercent},
                    {"increase_of_upward_flux_out_of_road_percent", scaled(f.lowAngleOutOfRoadUpIncreasePercent)},
                    {"direct_scattered_flux_factor_percent", f.lowAngleDirectScattered},
                    {"road_scattered_flux_factor_percent", f.lowAngleRoadScattered},
                    {"out_of_road_scattered_flux_factor_percent", scaled(f.lowAngleOutOfRoadScattered)},
                    {"increase_of_scattered_flux_direct_percent", f.lowAngleDirectScatteredIncreasePercent},
                    {"increase_of_scattered_flux_out_of_road_percent",
                     scaled(f.lowAngleOutOfRoadScatteredIncreasePercent)}};
    }
    Json notAvailable = Json::object();
    if (!i.computed) notAvailable["integrated"] = "a tilted photometry that stops short of gamma 180 deg";
    if (!f.hemisphericAvailable) notAvailable["hemispheric_scattering"] = "the photometry stops short of gamma 180 deg";
    if (!f.lowAngleAvailable) notAvailable["low_angle"] = "the photometry stops short of gamma 120 deg";
    if (f.lowAngleAvailable && !f.outOfRoadAvailable) {
        notAvailable["low_angle_out_of_road"] = "needs the integrated parameters of the same run";
    }
    return {{"directional", directional},
            {"integrated", integrated},
            {"hemispheric_scattering", hemispheric},
            {"low_angle", lowAngle},
            {"not_available", notAvailable}};
}

Json checkJson(const assessment::RequirementCheck& c) {
    using assessment::Bound;
    Json j = {{"quantity", std::string(assessment::quantitySymbol(c.requirement.quantity))},
              {"unit", std::string(assessment::quantityUnit(c.requirement.quantity))},
              {"bound", c.requirement.bound == Bound::Minimum ? "minimum" : "maximum"},
              {"required", c.requirement.value},
              {"computed", c.computed},
              {"margin", c.margin},
              {"pass", c.pass}};
    if (c.observer > 0) j["observer"] = c.observer;
    if (!c.reason.empty()) j["reason"] = c.reason;
    return j;
}

Json classJson(const assessment::ClassAssessment& c) {
    Json checks = Json::array();
    for (const auto& check : c.checks) checks.push_back(checkJson(check));
    return {{"class", c.lightingClass ? std::string(c.lightingClass->name) : std::string()},
            {"met", c.met},
            {"requirements", checks}};
}

Json assessmentJson(const assessment::RunAssessment& a) {
    Json j;
    j["source"] = std::string(assessment::kClassTableSource);
    if (a.classes.chosen) j["chosen_class"] = classJson(*a.classes.chosen);
    Json series = Json::array();
    for (const auto& s : a.classes.series) {
        Json entry = {{"series", std::string(assessment::seriesName(s.series))},
                      {"highest_class_met", s.highestMet ? Json(std::string(s.highestMet->name)) : Json(nullptr)},
                      {"next_class", s.stoppedClass ? Json(std::string(s.stoppedClass->name)) : Json(nullptr)},
                      {"stopped_by", s.stopper ? checkJson(*s.stopper) : Json(nullptr)}};
        series.push_back(entry);
    }
    j["series"] = series;
    const EdgeStripResult& e = a.edges;
    j["edge_illuminance_ratio"] = {
        {"ratio", e.ratio},
        {"limiting_edge_y", e.limitingEdge == RoadEdge::Near ? "0" : "road width"},
        {"strip_width_m", e.stripWidth},
        {"near_edge", {{"inside_lx", e.edges[0].insideAverage}, {"outside_lx", e.edges[0].outsideAverage}, {"ratio", e.edges[0].ratio}}},
        {"far_edge", {{"inside_lx", e.edges[1].insideAverage}, {"outside_lx", e.edges[1].outsideAverage}, {"ratio", e.edges[1].ratio}}}};
    const assessment::EnergyIndicators& n = a.energy;
    Json areas = Json::array();
    for (const auto& area : n.subAreas) {
        areas.push_back({{"name", area.name}, {"area_m2", area.area}, {"illuminance_lx", area.illuminance}});
    }
    Json profile = Json::array();
    for (const auto& p : n.profile.periods) {
        profile.push_back({{"hours", p.hours}, {"percent_of_full_power", p.percentOfFullPower}});
    }
    j["energy_indicators"] = {{"power_density_indicator_w_per_lx_m2", n.powerDensity},
                              {"annual_energy_consumption_indicator_wh_per_m2", n.annualEnergyConsumption},
                              {"system_power_w", n.systemPower},
                              {"power_source", n.powerSource == assessment::PowerSource::Declared ? "declared" : "--power"},
                              {"lamp_efficacy_lm_per_w", n.lampEfficacy},
                              {"efficacy_implausible", n.efficacyImplausible},
                              {"area_m2", n.totalArea},
                              {"sub_areas", areas},
                              {"operating_profile", profile},
                              {"full_power_hours", n.fullPowerHours},
                              {"annual_energy_wh", n.annualEnergy},
                              {"assumptions", n.assumptions},
                              {"problems", n.problems}};
    return j;
}

const char* stageName(RunStage stage) {
    switch (stage) {
        case RunStage::Luminaire: return "luminaire";
        case RunStage::RoadLighting: return "road_lighting";
        case RunStage::Pollution: return "light_pollution";
        case RunStage::Complete: return "complete";
    }
    return "unknown";
}

const char* endName(RunEnd end) {
    switch (end) {
        case RunEnd::Completed: return "completed";
        case RunEnd::RotationOnly: return "rotation_only";
        case RunEnd::RotationError: return "rotation_error";
        case RunEnd::NoAgedAsphalt: return "no_aged_asphalt_curve";
        case RunEnd::Interrupted: return "interrupted";
    }
    return "unknown";
}

// Replaces every non-finite number by null and lists it with its JSON pointer.
void listNonFinite(Json& node, const std::string& path, Json& found) {
    if (node.is_number_float()) {
        const double v = node.get<double>();
        if (!std::isfinite(v)) {
            found.push_back({{"path", path}, {"value", std::isnan(v) ? "NaN" : (v > 0 ? "Infinity" : "-Infinity")}});
            node = nullptr;
        }
    } else if (node.is_object()) {
        for (auto& [key, value] : node.items()) listNonFinite(value, path + "/" + key, found);
    } else if (node.is_array()) {
        for (std::size_t k = 0; k < node.size(); ++k) listNonFinite(node[k], path + "/" + std::to_string(k), found);
    }
}

Json resultsDocument(const RunInfo& info, const RunInputs& in, const RunResult& result,
                     const JsonRunContext& context) {
    Json doc;
    doc["schema"] = kJsonSchema;
    doc["program"] = {{"name", "vesperluminal"}, {"version", context.programVersion}};
    doc["run"] = {{"date", info.date},
                  {"time", info.time},
                  {"stamp", info.runStamp},
                  {"report", trimmed(info.reportName)},
                  {"reached", stageName(result.reached)},
                  {"end", endName(result.end)}};
    doc["inputs"] = inputsJson(in, context);
    doc["emission"] = {{"declared", emissionFigures(result.emission.declared)},
                       {"full_sphere", result.emission.fullSphere},
                       {"calculated_downward_light_output_ratio_percent", result.emission.downwardLightOutputRatio},
                       {"calculated", result.emission.fullSphere ? emissionFigures(result.emission.calculated) : Json(nullptr)},
                       {"effective",
                        {{"downward_flux_factor_percent", result.emission.effective.downwardFluxFactor},
                         {"upward_flux_factor_percent", result.emission.effective.upwardFluxFactor},
                         {"light_output_ratio_percent", result.emission.effective.lightOutputRatio}}}};
    if (result.reached >= RunStage::RoadLighting) {
        doc["road_lighting"] = roadLightingJson(in, result.road);
        doc["energy"] = energyJson(result.road.energy);
    } else {
        doc["road_lighting"] = nullptr;
        doc["energy"] = nullptr;
        doc["light_pollution"] = {{"directional", {{"maximum_upward_luminaire_intensity",
                                                     maximumLuminaireJson(result.directional.maxLuminaire)}}}};
    }
    if (result.reached >= RunStage::Pollution) doc["light_pollution"] = pollutionJson(result);
    if (result.plot) {
        doc["plot_model"] = {{"upward_road_reflected_percent", result.plot->reflectedFluxPercent},
                             {"upward_road_diffused_percent", result.plot->diffusedFluxPercent},
                             {"total_upward_road_flux_percent", result.plot->totalFluxPercent}};
    }
    if (context.assessment != nullptr) doc["assessment"] = assessmentJson(*context.assessment);
    return doc;
}

}  // namespace

std::string resultsJson(const RunInfo& info, const RunInputs& in, const RunResult& result,
                        const JsonRunContext& context) {
    Json doc = resultsDocument(info, in, result, context);
    Json nonFinite = Json::array();
    listNonFinite(doc, "", nonFinite);
    doc["non_finite"] = nonFinite;
    return doc.dump(2) + "\n";
}

std::vector<NonFiniteSection> nonFiniteFigures(const RunInputs& inputs, const RunResult& result) {
    Json doc = resultsDocument(RunInfo{}, inputs, result, JsonRunContext{});
    Json found = Json::array();
    listNonFinite(doc, "", found);
    // In the order of the report, whatever the order of the keys.
    const std::vector<std::string> order = {"inputs", "emission", "road lighting", "energy", "light pollution",
                                            "plot model"};
    std::vector<NonFiniteSection> sections;
    for (const std::string& name : order) sections.push_back({name, 0});
    for (const Json& figure : found) {
        // "/road_lighting/observers/0/..." -> "road lighting"
        const std::string path = figure["path"].get<std::string>();
        std::string name = path.substr(1, path.find('/', 1) - 1);
        std::replace(name.begin(), name.end(), '_', ' ');
        auto section = std::find_if(sections.begin(), sections.end(),
                                    [&](const NonFiniteSection& s) { return s.name == name; });
        if (section == sections.end()) section = sections.insert(sections.end(), {name, 0});
        ++section->count;
    }
    std::erase_if(sections, [](const NonFiniteSection& s) { return s.count == 0; });
    return sections;
}

void writeJsonResults(const std::string& path, const RunInfo& info, const RunInputs& inputs, const RunResult& result,
                      const JsonRunContext& context) {
    const std::string text = resultsJson(info, inputs, result, context);
    std::ofstream out(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out.is_open()) throw WriteError(path, "cannot be created");
    out << text;
    out.close();
    if (!out) throw WriteError(path, "write failed");
}

}  // namespace vl
