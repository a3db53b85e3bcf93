#include "app/sweep_rows.hpp"

#include <limits>
#include <optional>

#include "app/sweep_plan.hpp"

namespace vl::sweep {

namespace {

const char* const kFigureColumns[] = {
    "luminance_obs1_cd_m2",
    "overall_uniformity_obs1",
    "lengthwise_uniformity_obs1",
    "threshold_increment_obs1_percent",
    "luminance_obs2_cd_m2",
    "overall_uniformity_obs2",
    "lengthwise_uniformity_obs2",
    "threshold_increment_obs2_percent",
    "average_illuminance_lx",
    "minimum_illuminance_lx",
    "utilization_factor",
    "ulor_percent",
    "road_reflected_ratio_percent",
    "out_of_road_reflected_ratio_percent",
    "duud_lm_m2",
    "ruud_lm_m2",
    "wuud_lm_m2",
    "hemispheric_direct_scattered_percent",
    "hemispheric_road_scattered_percent",
    "hemispheric_out_of_road_scattered_percent",
    "low_angle_direct_scattered_percent",
    "low_angle_road_scattered_percent",
    "low_angle_out_of_road_scattered_percent",
    "power_per_area_w_m2",
};

// The checks of a class in the order assessClass makes them, for two observers.
std::vector<assessment::RequirementCheck> checkLayout(const assessment::LightingClass& lightingClass) {
    assessment::InstallationFigures figures;
    figures.observers.resize(2);
    return assessment::assessClass(lightingClass, figures).checks;
}

std::string checkName(const assessment::RequirementCheck& check) {
    std::string name(assessment::quantitySymbol(check.requirement.quantity));
    if (check.observer > 0) name += "_obs" + std::to_string(check.observer);
    return name;
}

TableCell real(const std::optional<double>& value) {
    if (!value) return {};
    return *value;
}

}  // namespace

std::vector<std::string> rowColumns(const SweepSettings& settings) {
    std::vector<std::string> columns = {"index", "outcome", "reason"};
    for (const InputInfo& info : inputInfos()) columns.emplace_back(info.column);
    for (const char* name : kFigureColumns) columns.emplace_back(name);
    if (!settings.assessment) return columns;
    const assessment::LightingClass* chosen = settings.assessment->lightingClass;
    if (chosen != nullptr) {
        columns.emplace_back("class");
        columns.emplace_back("class_met");
        for (const auto& check : checkLayout(*chosen)) {
            columns.push_back(checkName(check) + "_pass");
            columns.push_back(checkName(check) + "_margin");
        }
    } else {
        columns.insert(columns.end(), {"highest_m_class", "highest_c_class", "highest_p_class"});
    }
    columns.insert(columns.end(), {"edge_illuminance_ratio", "dp_w_per_lx_m2", "de_wh_per_m2"});
    return columns;
}

std::vector<TableCell> rowCells(const SweepSettings& settings, const Row& row) {
    std::vector<TableCell> cells;
    cells.emplace_back(static_cast<std::int64_t>(row.index + 1));
    cells.emplace_back(std::string(outcomeName(row.outcome)));
    cells.emplace_back(row.reason);
    const InstallationData& d = row.installation;
    for (double v : {d.lampFlux, d.roadWidth, d.spacing, d.overhang, d.poleHeight, d.maintenanceFactor, d.tilt}) {
        cells.emplace_back(v);
    }
    cells.emplace_back(d.surfaceClass);
    cells.emplace_back(static_cast<std::int64_t>(d.gridChoice));
    cells.emplace_back(d.photometryFile);

    const std::size_t figureCount = std::size(kFigureColumns);
    if (row.figures) {
        const RowFigures& f = *row.figures;
        for (int m = 0; m < 2; ++m) {
            cells.insert(cells.end(), {f.luminance[m], f.overallUniformity[m], f.lengthwiseUniformity[m],
                                       f.thresholdIncrement[m]});
        }
        cells.insert(cells.end(), {f.averageIlluminance, f.minimumIlluminance, f.utilizationFactor, real(row.ulor),
                                   real(f.roadReflectedRatio), real(f.outOfRoadReflectedRatio), real(f.duud),
                                   real(f.ruud), real(f.wuud), real(f.hemisphericDirect), real(f.hemisphericRoad),
                                   real(f.hemisphericOutOfRoad), real(f.lowAngleDirect), real(f.lowAngleRoad),
                                   real(f.lowAngleOutOfRoad), f.powerPerArea});
    } else {
        // Before the road lighting only the luminaire's ULOR is known.
        cells.resize(cells.size() + figureCount);
        cells[cells.size() - figureCount + 11] = real(row.ulor);
    }

    if (!settings.assessment) return cells;
    const std::size_t assessmentCount = rowColumns(settings).size() - cells.size();
    if (!row.assessment) {
        cells.resize(cells.size() + assessmentCount);
        return cells;
    }
    const RowAssessment& a = *row.assessment;
    if (settings.assessment->lightingClass != nullptr) {
        cells.emplace_back(std::string(settings.assessment->lightingClass->name));
        cells.emplace_back(std::string(a.chosen && a.chosen->met ? "pass" : "fail"));
        if (a.chosen) {
            for (const auto& check : a.chosen->checks) {
                cells.emplace_back(std::string(check.pass ? "pass" : "fail"));
                cells.emplace_back(check.margin);
            }
        }
    } else {
        for (const auto* highest : a.highest) cells.emplace_back(std::string(highest ? highest->name : "none"));
    }
    cells.insert(cells.end(), {a.edgeIlluminanceRatio, a.powerDensity, a.annualEnergyConsumption});
    return cells;
}

}  // namespace vl::sweep
