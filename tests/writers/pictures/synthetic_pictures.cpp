#include "writers/pictures/synthetic_pictures.hpp"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <numbers>
#include <string>

namespace vl::pictures::test {

namespace {

double gauss(double d, double sigma) { return std::exp(-0.5 * (d / sigma) * (d / sigma)); }

std::string fixed(double v, int decimals) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

std::vector<std::string> statisticsLines(const std::string& heading, const std::string& unit, const ScalarGrid& g) {
    double sum = 0, lo = g.values.front(), hi = g.values.front();
    for (double v : g.values) {
        sum += v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double average = sum / static_cast<double>(g.values.size());
    return {heading, "average " + fixed(average, 2) + " " + unit + ", minimum " + fixed(lo, 2) + ", maximum " + fixed(hi, 2) +
                         ";  Uo = " + fixed(lo / average, 2) + ",  Ud = " + fixed(lo / hi, 2)};
}

template <class F>
Series sampled(const std::string& name, double from, double to, double step, F f) {
    Series s{name, {}, {}};
    for (double x = from; x <= to + 1e-9; x += step) {
        s.x.push_back(x);
        s.y.push_back(f(x));
    }
    return s;
}

}  // namespace

ScalarGrid roadGrid(int nx, int ny, const std::function<double(double x, double y)>& value) {
    ScalarGrid g;
    for (int i = 0; i < nx; ++i) g.x.push_back((i + 0.5) * kSpacing / nx);
    for (int j = 0; j < ny; ++j) g.y.push_back((j + 0.5) * kWidth / ny);
    for (double x : g.x) {
        for (double y : g.y) g.values.push_back(value(x, y));
    }
    return g;
}

double luminanceAt(double x, double y, bool seenByObserver) {
    double sum = 0.35;
    for (int n = -1; n <= 2; ++n) {
        const double dx = x - n * kSpacing;
        if (seenByObserver) {
            // The reflection towards an observer far away on -x lies before the luminaire.
            sum += 1.9 * gauss(dx + 4.0, 4.5) * gauss(y - kOverhang, 1.6);
        } else {
            sum += 1.4 * gauss(dx, 3.2) * gauss(y - kOverhang, 2.4);
        }
    }
    return sum;
}

MapPicture roadMap(const std::string& heading, const std::string& unit, ScalarGrid field, std::optional<double> observerY) {
    MapPicture map;
    map.title = statisticsLines(heading, unit, field);
    map.unit = unit;
    map.field = std::move(field);
    map.road = {0, kSpacing, 0, kWidth};
    map.luminaires = {{{0, kOverhang}, Point{0, -0.5}}, {{kSpacing, kOverhang}, Point{kSpacing, -0.5}}};
    if (observerY) map.observers.push_back({"observer", {-60, *observerY}, 0});
    return map;
}

double alongRoadIntensity(double gamma) {
    const double g = std::fabs(gamma);
    if (g >= 90) return 0;
    const double c = std::cos(g * std::numbers::pi / 180);
    return 160 * c + 230 * gauss(g - 64, 11) * std::min(1.0, (90 - g) / 8);
}

double acrossRoadIntensity(double gamma) {
    const double g = std::fabs(gamma);
    if (g >= 90) return 0;
    const double c = std::cos(g * std::numbers::pi / 180);
    const double streetPeak = gamma > 0 ? 190 * gauss(g - 52, 13) : 25 * gauss(g - 40, 12);
    return (gamma > 0 ? 160 : 120) * c + streetPeak * std::min(1.0, (90 - g) / 8);
}

PolarSheet streetLuminaireSheet(double tilt) {
    auto curve = [](const std::string& name, auto f, double shift) {
        PolarCurve c{name, {}, {}};
        for (double a = -180; a <= 180 + 1e-9; a += 2.5) {
            c.angle.push_back(a);
            c.intensity.push_back(f(a - shift));
        }
        return c;
    };
    auto maxPlane = [](double a) { return 1.08 * alongRoadIntensity(a); };
    PolarSheet sheet;
    sheet.title = {"Luminaire intensity distribution (cd/klm)", "as read from the photometry and as tilted by " +
                                                                     fixed(tilt, 0) + "\u00b0 for the run"};
    sheet.panels.push_back({"as read", "C180 / C270 (houses)", "C0 / C90 (street)",
                            {curve("C0\u2013C180", alongRoadIntensity, 0), curve("C90\u2013C270", acrossRoadIntensity, 0),
                             curve("plane of maximum intensity", maxPlane, 0)}});
    sheet.panels.push_back({"as tilted", "C180 / C270 (houses)", "C0 / C90 (street)",
                            {curve("C0\u2013C180", alongRoadIntensity, 0), curve("C90\u2013C270", acrossRoadIntensity, tilt),
                             curve("plane of maximum intensity", maxPlane, tilt)}});
    return sheet;
}

CurveChart azimuthChart() {
    CurveChart chart;
    chart.title = {"Average road luminance against azimuth of view"};
    chart.xLabel = "azimuth";
    chart.xUnit = "\u00b0";
    chart.yLabel = "average luminance";
    chart.yUnit = "cd/m\u00b2";
    chart.xStep = 45;
    chart.series.push_back(sampled("aged asphalt", 0, 360, 5, [](double a) {
        return 0.62 + 0.18 * std::cos(a * std::numbers::pi / 180) + 0.04 * std::cos(2 * a * std::numbers::pi / 180);
    }));
    chart.series.push_back(sampled("surface class of the run", 0, 360, 5, [](double a) {
        return 0.75 + 0.26 * std::cos(a * std::numbers::pi / 180);
    }));
    return chart;
}

CurveChart elevationChart() {
    CurveChart chart;
    chart.title = {"Upward intensities against elevation"};
    chart.xLabel = "elevation above the horizontal";
    chart.xUnit = "\u00b0";
    chart.yLabel = "intensity";
    chart.yUnit = "cd";
    chart.xStep = 10;
    chart.series.push_back(sampled("road (reflected)", 0, 90, 2, [](double e) {
        return 95 * std::sin((e + 2) * std::numbers::pi / 180) + 20;
    }));
    chart.series.push_back(sampled("luminaire (direct)", 0, 90, 2, [](double e) { return 60 * std::exp(-e / 6); }));
    chart.series.push_back(sampled("total", 0, 90, 2, [](double e) {
        return 95 * std::sin((e + 2) * std::numbers::pi / 180) + 20 + 60 * std::exp(-e / 6);
    }));
    return chart;
}

std::vector<NamedPicture> syntheticRun(int nx, int ny) {
    const double eye1 = 0.25 * kWidth, eye2 = 0.75 * kWidth;
    auto atInfinity = [](double x, double y) { return luminanceAt(x, y, false); };
    auto observer = [](double x, double y) { return luminanceAt(x, y, true); };
    auto observer2 = [](double x, double y) { return 0.92 * luminanceAt(x, y - 0.4, true); };
    auto illuminance = [](double x, double y) {
        double e = 4;
        for (int n = -1; n <= 2; ++n) e += 26 * gauss(x - n * kSpacing, 5.5) * gauss(y - kOverhang, 3.5);
        return e;
    };
    std::vector<NamedPicture> run;
    run.push_back({"map_luminance_infinity", roadMap("Luminance, observer at infinity", "cd/m\u00b2", roadGrid(nx, ny, atInfinity))});
    MapPicture o1 = roadMap("Luminance seen by observer 1", "cd/m\u00b2", roadGrid(nx, ny, observer), eye1);
    MapPicture o2 = roadMap("Luminance seen by observer 2", "cd/m\u00b2", roadGrid(nx, ny, observer2), eye2);
    double lo = o1.field.values.front(), hi = lo;
    for (const MapPicture* m : {&o1, &o2}) {
        for (double v : m->field.values) lo = std::min(lo, v), hi = std::max(hi, v);
    }
    o1.fixedRange = o2.fixedRange = Range{lo, hi};
    o1.observers.front().label = "observer 1";
    o2.observers.front().label = "observer 2";
    run.push_back({"map_luminance_observer1", std::move(o1)});
    run.push_back({"map_luminance_observer2", std::move(o2)});
    run.push_back({"map_illuminance_horizontal", roadMap("Horizontal illuminance", "lx", roadGrid(nx, ny, illuminance))});
    run.push_back({"map_illuminance_hemispherical", roadMap("Hemispherical illuminance", "lx", roadGrid(nx, ny, [&](double x, double y) {
                                                               return 0.7 * illuminance(x, y) + 1;
                                                           }))});
    run.push_back({"map_illuminance_semicylindrical", roadMap("Semicylindrical illuminance", "lx", roadGrid(nx, ny, [&](double x, double y) {
                                                                 return 0.4 * illuminance(x + 5, y) + 2;
                                                             }))});
    run.push_back({"map_illuminance_vertical", roadMap("Vertical illuminance", "lx", roadGrid(nx, ny, [&](double x, double y) {
                                                          return 0.5 * illuminance(x + 8, y) + 1;
                                                      }))});
    run.push_back({"map_veiling_luminance", roadMap("Veiling luminance", "cd/m\u00b2", roadGrid(nx, ny, [](double x, double y) {
                                                       return 0.08 + 0.05 * std::cos(2 * std::numbers::pi * x / kSpacing) + 0.01 * y;
                                                   }), eye1)});
    run.push_back({"map_glare_rating", roadMap("Glare rating GR", "", roadGrid(nx, ny, [](double x, double y) {
                                                  return 38 + 6 * std::sin(2 * std::numbers::pi * x / kSpacing) + 0.8 * y;
                                              }), eye1)});
    run.push_back({"polar_intensity", streetLuminaireSheet(10)});
    run.push_back({"curve_luminance_azimuth", azimuthChart()});
    run.push_back({"curve_upward_intensity", elevationChart()});
    return run;
}

}  // namespace vl::pictures::test
