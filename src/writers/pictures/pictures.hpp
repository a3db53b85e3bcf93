// The pictures of a run, drawn from plain data: grid maps, polar intensity diagrams and
// curve charts, each as PNG and SVG from the same drawing code.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "writers/pictures/image.hpp"
#include "writers/pictures/isolines.hpp"
#include "writers/pictures/scale.hpp"

namespace vl::pictures {

// ---- Grid maps -------------------------------------------------------------------------

// The road section under the grid, x along the road and y across it (m); the road edges
// are the lines y = yFrom and y = yTo.
struct RoadOutline {
    double xFrom = 0;
    double xTo = 0;
    double yFrom = 0;
    double yTo = 0;
};

struct MapLuminaire {
    Point at;                   // the luminaire's position in plan (m)
    std::optional<Point> pole;  // the foot of its pole, drawn with the arm to the luminaire
};

struct MapObserver {
    std::string label;              // "observer 1"
    Point eye;                      // plan position (m); outside the drawing it is marked at its border
    double viewDirection = 0;       // degrees from +x towards +y
};

struct MapPicture {
    std::vector<std::string> title;  // first line is the heading; then average, extremes, ...
    std::string unit;                // of the values ("cd/m²", "lx")
    ScalarGrid field;                // node coordinates in m and values
    RoadOutline road;
    std::vector<MapLuminaire> luminaires;
    std::vector<MapObserver> observers;
    std::optional<Range> fixedRange;  // the colour scale (and levels) shared with other maps
    int levelCount = 8;               // at most this many isoline levels
};

// The note a degenerate map gets in its title ("" for an ordinary map).
std::string mapNote(const MapPicture& map);

Image drawMap(const MapPicture& map, ImageFormat format);
// Several formats from one layout (isolines and colour field computed once).
std::vector<Image> drawMap(const MapPicture& map, const std::vector<ImageFormat>& formats);

// ---- Polar intensity diagrams ------------------------------------------------------------

// One curve through a plane pair: angle in degrees from the nadir, positive into the right
// half-plane and negative into the left one (-180..180), intensity in the sheet's unit.
struct PolarCurve {
    std::string name;
    std::vector<double> angle;
    std::vector<double> intensity;
};

struct PolarPanel {
    std::string title;       // "as read", "as tilted"
    std::string leftLabel;   // says which side the left half-plane faces
    std::string rightLabel;
    std::vector<PolarCurve> curves;
};

// Panels side by side on one radial scale. When no curve has light above the horizontal
// only the lower half of each diagram is drawn.
struct PolarSheet {
    std::vector<std::string> title;
    std::string unit = "cd/klm";
    std::vector<PolarPanel> panels;
};

Image drawPolarSheet(const PolarSheet& sheet, ImageFormat format);

// ---- Curve charts ------------------------------------------------------------------------

struct Series {
    std::string name;
    std::vector<double> x;
    std::vector<double> y;
};

struct CurveChart {
    std::vector<std::string> title;
    std::string xLabel;
    std::string xUnit;
    std::string yLabel;
    std::string yUnit;
    std::vector<Series> series;
    double xStep = 0;        // tick step along x; 0 chooses a round one
    bool yFromZero = true;   // the y axis starts at zero when every value is positive
};

Image drawCurveChart(const CurveChart& chart, ImageFormat format);

// ---- Sets of pictures ----------------------------------------------------------------------

struct NamedPicture {
    std::string name;  // file name without extension
    std::variant<MapPicture, PolarSheet, CurveChart> picture;
};

struct WrittenPicture {
    std::string name;
    int width = 0;
    int height = 0;
};

// Draws every picture as NAME.png and NAME.svg in the folder (created when missing), on up
// to `threads` threads. A folder or file that cannot be created or written throws
// PictureFileError naming it (the first one in the order of the pictures).
std::vector<WrittenPicture> writePictures(const std::vector<NamedPicture>& pictures,
                                          const std::filesystem::path& folder, unsigned threads = 2);

}  // namespace vl::pictures
