#include "writers/pictures/run_pictures.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "core/assessment/lighting_classes.hpp"
#include "text/format.hpp"

namespace vl::pictures {

namespace {

// A figure with the given decimals, without the field's padding; "n/a" when not finite.
std::string figure(double value, int decimals) {
    if (!std::isfinite(value)) return "n/a";
    std::string text = fmt::F(value, 40, decimals);
    return text.substr(text.find_first_not_of(' '));
}

// An angle in whole degrees when it is one, else with one decimal.
std::string angleText(double degrees) {
    if (degrees == std::round(degrees)) return std::to_string(static_cast<long long>(degrees));
    return figure(degrees, 1);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The grid as the data file labels it: x along one spacing, y across the road.
ScalarGrid field(const RunInputs& in, const ComputationGrid& g, const GridMap& map) {
    ScalarGrid s;
    for (int i = 0; i < g.pointsAlongX; ++i) {
        s.x.push_back(g.offsetX + (in.installation.spacing * static_cast<double>(i)) / static_cast<double>(g.pointsAlongX));
    }
    for (int j = 0; j < g.pointsAlongY; ++j) {
        s.y.push_back(g.offsetY + (in.installation.roadWidth * static_cast<double>(j)) / static_cast<double>(g.pointsAlongY));
    }
    s.values.reserve(s.x.size() * s.y.size());
    for (int i = 0; i < map.nX(); ++i) {
        for (int j = 0; j < map.nY(); ++j) s.values.push_back(map(i, j));
    }
    return s;
}

MapPicture roadMap(const RunInputs& in, const RunResult& r, const GridMap& map, std::vector<std::string> title,
                   const std::string& unit) {
    const InstallationData& i = in.installation;
    MapPicture m;
    m.title = std::move(title);
    m.unit = unit;
    m.field = field(in, r.road.grid, map);
    m.road = {0.0, i.spacing, 0.0, i.roadWidth};
    for (const double x : {0.0, i.spacing}) {
        MapLuminaire luminaire;
        luminaire.at = {x, i.overhang};
        luminaire.pole = Point{x, 0.0};
        m.luminaires.push_back(luminaire);
    }
    return m;
}

void addObserver(MapPicture& m, const RunInputs& in, const RunResult& r, int n) {
    const ComputationGrid& g = r.road.grid;
    const double y = in.installation.roadWidth * (n == 1 ? g.observer1Offset : g.observer2Offset);
    m.observers.push_back({"observer " + std::to_string(n), {-g.observerDistance, y}, 0.0});
}

std::string statisticsLine(const MapStatistics& s, const std::string& unit, int decimals) {
    return "average " + figure(s.average, decimals) + ", minimum " + figure(s.minimum, decimals) + ", maximum " +
           figure(s.maximum, decimals) + (unit.empty() ? "" : " " + unit);
}

std::vector<NamedPicture> maps(const RunInputs& in, const RunResult& r) {
    const RoadLightingResult& road = r.road;
    std::vector<NamedPicture> out;
    const std::string lum = "cd/m²";

    out.push_back({"luminance_at_infinity",
                   roadMap(in, r, road.luminanceAtInfinity,
                           {"Maintained luminance, observer at infinity (viewing along the road)",
                            statisticsLine(road.luminanceAtInfinityStats, lum, 2)},
                           lum)});

    // The two observers' maps on one scale, so that they compare at a glance.
    const Range shared{std::min(road.luminanceObserver1Stats.minimum, road.luminanceObserver2Stats.minimum),
                       std::max(road.luminanceObserver1Stats.maximum, road.luminanceObserver2Stats.maximum)};
    const bool sharedFinite = std::isfinite(shared.lo) && std::isfinite(shared.hi) && shared.hi > shared.lo;
    for (int n = 1; n <= 2; ++n) {
        const bool first = n == 1;
        MapPicture m = roadMap(
            in, r, first ? road.luminanceObserver1 : road.luminanceObserver2,
            {"Maintained luminance seen by observer " + std::to_string(n),
             statisticsLine(first ? road.luminanceObserver1Stats : road.luminanceObserver2Stats, lum, 2),
             "overall uniformity U0 " + figure(first ? road.overallUniformity1 : road.overallUniformity2, 2) +
                 ", lengthwise uniformity UL " +
                 figure(first ? road.lengthwiseUniformity1 : road.lengthwiseUniformity2, 2) +
                 ", threshold increment TI " + figure(first ? road.thresholdIncrement1 : road.thresholdIncrement2, 2) +
                 " %"},
            lum);
        addObserver(m, in, r, n);
        if (sharedFinite) m.fixedRange = shared;
        out.push_back({"luminance_observer" + std::to_string(n), m});
    }

    const MapStatistics& e = road.horizontalIlluminanceStats;
    out.push_back({"horizontal_illuminance",
                   roadMap(in, r, road.horizontalIlluminance,
                           {"Maintained horizontal illuminance", statisticsLine(e, "lx", 2),
                            "min/ave " + figure(e.minimum / e.average, 2) + ", min/max " +
                                figure(e.minimum / e.maximum, 2)},
                           "lx")});
    const MapStatistics& h = road.hemisphericalIlluminanceStats;
    out.push_back({"hemispherical_illuminance",
                   roadMap(in, r, road.hemisphericalIlluminance,
                           {"Maintained hemispherical illuminance", statisticsLine(h, "lx", 2),
                            "min/ave " + figure(h.minimum / h.average, 2)},
                           "lx")});
    out.push_back({"semicylindrical_illuminance",
                   roadMap(in, r, road.semicylindricalIlluminance,
                           {"Maintained semicylindrical illuminance 1.5 m above the road, facing against the traffic",
                            statisticsLine(road.semicylindricalIlluminanceStats, "lx", 2)},
                           "lx")});
    out.push_back({"vertical_illuminance",
                   roadMap(in, r, road.verticalIlluminance,
                           {"Maintained vertical illuminance 1.5 m above the road, facing against the traffic",
                            statisticsLine(road.verticalIlluminanceStats, "lx", 2)},
                           "lx")});
    out.push_back({"veiling_luminance",
                   roadMap(in, r, road.veilingLuminance,
                           {"Veiling luminance at the initial state, eye 1.5 m above each point",
                            statisticsLine(road.veilingLuminanceStats, lum, 2)},
                           lum)});
    out.push_back({"glare_rating",
                   roadMap(in, r, road.glareRating,
                           {"Glare rating GR", statisticsLine(road.glareRatingStats, "", 1)}, "")});
    return out;
}

// The table column whose C angle lies nearest to c.
int nearestColumn(const PhotometryTable& p, double c) {
    int best = 0;
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < p.cCount; ++i) {
        const double d = std::fabs(p.cAngles[static_cast<std::size_t>(i)] - c);
        if (d < distance) {
            distance = d;
            best = i;
        }
    }
    return best;
}

// The plane pair (c, c + 180) of a table: c to the right, its opposite to the left.
PolarCurve planePair(const PhotometryTable& p, const std::vector<double>& table, double c, const std::string& name) {
    PolarCurve curve;
    curve.name = name;
    const int right = nearestColumn(p, c);
    const int left = nearestColumn(p, std::fmod(c + 180.0, 360.0));
    auto value = [&](int i, int j) {
        const std::size_t k = static_cast<std::size_t>(i) + static_cast<std::size_t>(p.cCount) * static_cast<std::size_t>(j);
        return k < table.size() ? table[k] : 0.0;
    };
    for (int j = p.gammaCount - 1; j >= 0; --j) {
        curve.angle.push_back(-p.gammaAngles[static_cast<std::size_t>(j)]);
        curve.intensity.push_back(value(left, j));
    }
    for (int j = 0; j < p.gammaCount; ++j) {
        curve.angle.push_back(p.gammaAngles[static_cast<std::size_t>(j)]);
        curve.intensity.push_back(value(right, j));
    }
    return curve;
}

// C angle of the largest intensity of a table.
double planeOfMaximum(const PhotometryTable& p, const std::vector<double>& table) {
    double best = -std::numeric_limits<double>::infinity();
    double c = 0.0;
    for (int j = 0; j < p.gammaCount; ++j) {
        for (int i = 0; i < p.cCount; ++i) {
            const std::size_t k = static_cast<std::size_t>(i) + static_cast<std::size_t>(p.cCount) * static_cast<std::size_t>(j);
            if (k < table.size() && table[k] > best) {
                best = table[k];
                c = p.cAngles[static_cast<std::size_t>(i)];
            }
        }
    }
    return std::fmod(c, 180.0);
}

PolarPanel polarPanel(const PhotometryTable& p, const std::vector<double>& table, const std::string& title) {
    PolarPanel panel;
    panel.title = title;
    panel.leftLabel = "C180 / C270 (back, house side)";
    panel.rightLabel = "C0 / C90 (C90: street side, across the road)";
    panel.curves.push_back(planePair(p, table, 0.0, "C0-C180"));
    panel.curves.push_back(planePair(p, table, 90.0, "C90-C270"));
    const double cMax = planeOfMaximum(p, table);
    if (cMax == 0.0 || cMax == 90.0) {
        panel.curves[cMax == 0.0 ? 0 : 1].name += " (plane of maximum intensity)";
    } else {
        panel.curves.push_back(planePair(p, table, cMax,
                                         "C" + angleText(cMax) + "-C" + angleText(cMax + 180.0) +
                                             " (plane of maximum intensity)"));
    }
    return panel;
}

PolarSheet polarSheet(const RunInputs& in, const RunResult& r) {
    const PhotometryTable& p = in.photometry;
    PolarSheet sheet;
    sheet.title = {"Luminaire intensity distribution (cd per klm of lamp flux)",
                   "photometry " + trimmed(in.installation.photometryFile) + ", tilt " +
                       figure(in.installation.tilt, 1) + " deg"};
    sheet.panels.push_back(polarPanel(p, p.intensity, "as read"));
    if (!r.rotated.rotatedIntensity.empty()) {
        sheet.panels.push_back(polarPanel(p, r.rotated.rotatedIntensity,
                                          "as tilted for the run (effective photometry)"));
    }
    return sheet;
}

std::vector<NamedPicture> curves(const RunResult& r) {
    const DirectionalPollution& d = r.directional;
    CurveChart azimuth;
    azimuth.title = {"Average maintained road luminance against the viewing azimuth",
                     "mean over the azimuth " + figure(d.meanLuminance, 3) + " cd/m²"};
    azimuth.xLabel = "azimuth omega";
    azimuth.xUnit = "deg";
    azimuth.yLabel = "luminance";
    azimuth.yUnit = "cd/m²";
    azimuth.xStep = 30.0;
    Series luminance{"average luminance", {}, {}};
    for (int k = 0; k < kDirections; ++k) {
        luminance.x.push_back(d.azimuthDeg[static_cast<std::size_t>(k)]);
        luminance.y.push_back(d.avgLuminanceByAzimuth[static_cast<std::size_t>(k)]);
    }
    azimuth.series.push_back(luminance);

    CurveChart elevation;
    elevation.title = {"Upward intensity per unit luminaire flux against the elevation",
                       "averaged over the azimuth"};
    elevation.xLabel = "elevation alpha";
    elevation.xUnit = "deg";
    elevation.yLabel = "intensity";
    elevation.yUnit = "cd/klm";
    Series road{"road (lambertian estimate)", {}, {}};
    Series luminaire{"luminaire", {}, {}};
    for (int n = 0; n < kElevations; ++n) {
        const UpwardIntensities& u = d.averages[static_cast<std::size_t>(n)];
        road.x.push_back(kElevationSet[n]);
        road.y.push_back(u.roadPerLuminaireFlux);
        if (u.fixtureAvailable) {
            luminaire.x.push_back(kElevationSet[n]);
            luminaire.y.push_back(u.fixturePerLuminaireFlux);
        }
    }
    elevation.series.push_back(road);
    if (!luminaire.x.empty()) elevation.series.push_back(luminaire);
    return {{"luminance_by_azimuth", azimuth}, {"upward_intensity_by_elevation", elevation}};
}

std::string captionOf(const std::string& name) {
    if (name == "luminance_at_infinity") return "Maintained luminance, observer at infinity";
    if (name == "luminance_observer1") return "Maintained luminance seen by observer 1";
    if (name == "luminance_observer2") return "Maintained luminance seen by observer 2 (same scale as observer 1)";
    if (name == "horizontal_illuminance") return "Maintained horizontal illuminance";
    if (name == "hemispherical_illuminance") return "Maintained hemispherical illuminance";
    if (name == "semicylindrical_illuminance") return "Maintained semicylindrical illuminance";
    if (name == "vertical_illuminance") return "Maintained vertical illuminance";
    if (name == "veiling_luminance") return "Veiling luminance (initial)";
    if (name == "glare_rating") return "Glare rating GR";
    if (name == "polar_intensity") return "Luminaire intensity distribution, as read and as tilted";
    if (name == "luminance_by_azimuth") return "Average road luminance against the viewing azimuth";
    if (name == "upward_intensity_by_elevation") return "Upward intensity of road and luminaire against the elevation";
    return name;
}

void keyFigures(IndexPage& page, const RunResult& r) {
    auto add = [&page](const std::string& name, double value, int decimals, const std::string& unit) {
        page.keyFigures.push_back({name, figure(value, decimals), unit});
    };
    const EmissionData& e = r.emission.effective;
    add("light output ratio LORL", e.lightOutputRatio, 2, "%");
    add("downward flux factor DFF", e.downwardFluxFactor, 2, "%");
    if (r.emission.fullSphere) add("upward light output ratio ULOR", e.upwardLightOutputRatio, 2, "%");
    if (r.reached < RunStage::RoadLighting) return;
    const RoadLightingResult& road = r.road;
    add("average luminance, observer at infinity", road.luminanceAtInfinityStats.average, 2, "cd/m²");
    add("average luminance, observer 1", road.luminanceObserver1Stats.average, 2, "cd/m²");
    add("overall uniformity U0, observer 1", road.overallUniformity1, 2, "");
    add("lengthwise uniformity UL, observer 1", road.lengthwiseUniformity1, 2, "");
    add("threshold increment TI, observer 1", road.thresholdIncrement1, 2, "%");
    add("average luminance, observer 2", road.luminanceObserver2Stats.average, 2, "cd/m²");
    add("overall uniformity U0, observer 2", road.overallUniformity2, 2, "");
    add("lengthwise uniformity UL, observer 2", road.lengthwiseUniformity2, 2, "");
    add("threshold increment TI, observer 2", road.thresholdIncrement2, 2, "%");
    add("average horizontal illuminance", road.horizontalIlluminanceStats.average, 2, "lx");
    add("minimum horizontal illuminance", road.horizontalIlluminanceStats.minimum, 2, "lx");
    add("glare rating GR, maximum", road.glareRatingStats.maximum, 2, "");
    add("utilization factor", road.energy.fluxUse.utilizationFactor, 3, "");
    add("installed lamp flux per unit area", road.energy.fluxPerArea, 2, "lm/m²");
    if (r.reached < RunStage::Pollution) return;
    const IntegratedPollution& i = r.integrated;
    if (i.computed) {
        add("road reflected upward flux ratio", i.roadReflectedRatio, 2, "%");
        add("out-of-road reflected upward flux ratio", i.outOfRoadReflectedRatio, 2, "%");
        add("direct unit uplight density DUUD", i.directUplightDensity, 2, "lm/m²");
        add("road unit uplight density RUUD", i.roadUplightDensity, 2, "lm/m²");
        add("out-of-road unit uplight density WUUD", i.outOfRoadUplightDensity, 2, "lm/m²");
    }
    const ScatteringFactors& f = r.scattering;
    if (f.hemisphericAvailable) {
        add("direct scattered flux factor", f.directScattered, 2, "%");
        add("road scattered flux factor", f.roadScattered, 2, "%");
    }
    if (f.lowAngleAvailable) {
        add("low-angles direct upward flux factor", f.lowAngleDirectUp, 2, "%");
        add("low-angles road upward flux factor", f.lowAngleRoadUp, 2, "%");
    }
}

PageTable assessmentTable(const assessment::RunAssessment& a) {
    PageTable t;
    t.caption = "Lighting class assessment (" + std::string(assessment::kClassTableSource) + ")";
    t.header = {"class", "requirement", "observer", "required", "computed", "margin", "result"};
    auto addClass = [&t](const assessment::ClassAssessment& c) {
        for (const auto& check : c.checks) {
            const bool minimum = check.requirement.bound == assessment::Bound::Minimum;
            t.rows.push_back({std::string(c.lightingClass ? c.lightingClass->name : ""),
                              std::string(assessment::quantityName(check.requirement.quantity)),
                              check.observer > 0 ? std::to_string(check.observer) : "",
                              std::string(minimum ? "at least " : "at most ") + figure(check.requirement.value, 2),
                              figure(check.computed, 3), figure(check.margin, 3),
                              check.pass ? "pass" : ("FAIL" + (check.reason.empty() ? "" : ": " + check.reason))});
        }
        t.rows.push_back({std::string(c.lightingClass ? c.lightingClass->name : ""), "", "", "", "", "",
                          c.met ? "met" : "NOT met"});
    };
    if (a.classes.chosen) addClass(*a.classes.chosen);
    for (const auto& s : a.classes.series) {
        t.rows.push_back({std::string(assessment::seriesName(s.series)) + " series",
                          "highest class met: " + std::string(s.highestMet ? s.highestMet->name : "none"), "", "", "",
                          "", ""});
        for (const auto& c : s.classes) {
            if (c.lightingClass == s.highestMet || c.lightingClass == s.stoppedClass) {
                addClass(c);
            }
        }
    }
    t.rows.push_back({"edge illuminance ratio R_EI", figure(a.edges.ratio, 3), "", "", "", "",
                      a.edges.limitingEdge == RoadEdge::Near ? "limited by the edge y = 0" : "limited by the edge y = W"});
    t.rows.push_back({"D_P", figure(a.energy.powerDensity, 4) + " W/(lx m²)", "", "", "", "", ""});
    t.rows.push_back({"D_E", figure(a.energy.annualEnergyConsumption, 1) + " Wh/m² a year", "", "", "", "",
                      a.energy.efficacyImplausible ? "lamp efficacy implausible: check the wattage" : ""});
    return t;
}

}  // namespace

std::vector<NamedPicture> runPictures(const RunInputs& in, const RunResult& r) {
    std::vector<NamedPicture> out;
    if (r.reached >= RunStage::RoadLighting && r.end != RunEnd::RotationError) out = maps(in, r);
    out.push_back({"polar_intensity", polarSheet(in, r)});
    if (r.reached >= RunStage::Pollution) {
        for (auto& c : curves(r)) out.push_back(std::move(c));
    }
    return out;
}

IndexPage runIndexPage(const RunInputs& in, const RunResult& r, const RunPictureContext& context,
                       const std::vector<WrittenPicture>& written) {
    const InstallationData& i = in.installation;
    IndexPage page;
    page.title = "Vesperluminal run " + context.runStamp;
    page.installation = {
        "report " + trimmed(context.reportName),
        "lamp flux " + figure(i.lampFlux, 2) + " klm, maintenance factor " + figure(i.maintenanceFactor, 2),
        "road width " + figure(i.roadWidth, 2) + " m, surface class " + i.surfaceClass,
        "pole spacing " + figure(i.spacing, 2) + " m, height " + figure(i.poleHeight, 2) + " m, overhang " +
            figure(i.overhang, 2) + " m, tilt " + figure(i.tilt, 2) + " deg",
        "photometry " + trimmed(i.photometryFile) + ", grid " + std::to_string(i.gridChoice) + " (" +
            trimmed(in.gridRecord.gridTitle) + ")",
    };
    keyFigures(page, r);
    for (const WrittenPicture& w : written) {
        page.pictures.push_back({w.name + ".png", captionOf(w.name), w.width, w.height, w.name + ".svg"});
    }
    if (context.assessment != nullptr) page.extraTable = assessmentTable(*context.assessment);
    return page;
}

void writeRunPictures(const RunInputs& in, const RunResult& r, const RunPictureContext& context,
                      const std::filesystem::path& folder) {
    const std::vector<WrittenPicture> written = writePictures(runPictures(in, r), folder);
    writeIndexPage(runIndexPage(in, r, context, written), folder / "index.html");
}

}  // namespace vl::pictures
