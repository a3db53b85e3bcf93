// Pieces shared by the pictures: title blocks, the series styles, arrows and legends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "writers/pictures/canvas.hpp"

namespace vl::pictures {

inline constexpr Rgb kInk{0.13, 0.13, 0.13};
inline constexpr Rgb kMutedInk{0.38, 0.38, 0.38};
inline constexpr Rgb kNoteInk{0.62, 0.10, 0.05};
inline constexpr double kMargin = 16;
inline constexpr double kHeadingSize = 16;
inline constexpr double kLineSize = 12.5;
inline constexpr double kLabelSize = 11.5;

// The title lines (the first as heading) and an optional note in a warning colour.
struct TitleBlock {
    std::vector<std::string> lines;
    std::string note;
    double height() const;
    double width(const Canvas& canvas) const;
    void draw(Canvas& canvas, double x, double top) const;
};

// Line colour and dash pattern of the k-th series or curve: colours that stay apart for
// colour-blind eyes, dashes that stay apart in grey.
struct SeriesStyle {
    Rgb colour;
    std::vector<double> dashes;
};
SeriesStyle seriesStyle(std::size_t k);
void applyStyle(const Canvas& canvas, const SeriesStyle& style, double width);

void arrow(const Canvas& canvas, double x0, double y0, double x1, double y1, double head);

// A legend row of items, each a symbol drawn in a box of symbolWidth x 12 and a text,
// flowed into lines no wider than maxWidth.
struct LegendItem {
    std::function<void(Canvas&, double x, double yMiddle)> symbol;
    std::string text;
};
inline constexpr double kLegendSymbolWidth = 26;
double legendHeight(const Canvas& canvas, const std::vector<LegendItem>& items, double maxWidth);
void drawLegend(Canvas& canvas, const std::vector<LegendItem>& items, double x, double top, double maxWidth);

// A rough canvas for measuring text before the real canvas exists.
Canvas& measuringCanvas();

}  // namespace vl::pictures
