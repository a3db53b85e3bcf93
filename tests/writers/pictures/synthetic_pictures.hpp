// Synthetic pictures that look like those of a road lighting run: bright patches under
// the luminaires at x = 0 and x = spacing on one side of the road, a street luminaire's
// intensity curves, and the pollution curves.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "writers/pictures/pictures.hpp"

namespace vl::pictures::test {

inline constexpr double kSpacing = 24.0;
inline constexpr double kWidth = 7.0;
inline constexpr double kOverhang = 2.5;

// Nodes at the cell centres of nx x ny cells over one spacing of the road.
ScalarGrid roadGrid(int nx, int ny, const std::function<double(double x, double y)>& value);

// A road luminance map (cd/m2): a patch under each luminaire; an observer looking along +x
// sees the patches drawn out towards the observer.
double luminanceAt(double x, double y, bool seenByObserver);

// The map with title lines of its statistics, the road, luminaires with poles and, when
// observerY is given, the observer 60 m before the grid.
MapPicture roadMap(const std::string& heading, const std::string& unit, ScalarGrid field,
                   std::optional<double> observerY = std::nullopt);

// Intensity (cd/klm) of a street luminaire: along the road (plane C0-C180) a wide double
// peak at about 65 deg; across it (C90 towards the street, C270 towards the houses) more
// light goes to the street side. Zero above the horizontal. gamma is signed: positive in
// the first named half-plane.
double alongRoadIntensity(double gamma);
double acrossRoadIntensity(double gamma);

// "as read" and "as tilted" (the across-road plane turned by the tilt) on one sheet.
PolarSheet streetLuminaireSheet(double tilt);

CurveChart azimuthChart();
CurveChart elevationChart();

// The pictures of a run on an nx x ny grid: nine maps, one polar sheet, two curve charts.
std::vector<NamedPicture> syntheticRun(int nx, int ny);

}  // namespace vl::pictures::test
