#include "writers/pictures/drawing.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vl::pictures {

namespace {

constexpr double kLegendGap = 18;
constexpr double kLegendLine = 18;

}  // namespace

double TitleBlock::height() const {
    double h = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) h += (k == 0 ? kHeadingSize : kLineSize) * 1.45;
    if (!note.empty()) h += kLineSize * 1.45;
    return h;
}

double TitleBlock::width(const Canvas& canvas) const {
    double w = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        w = std::max(w, canvas.textWidth(lines[k], k == 0 ? kHeadingSize : kLineSize, k == 0));
    }
    if (!note.empty()) w = std::max(w, canvas.textWidth(note, kLineSize, true));
    return w;
}

void TitleBlock::draw(Canvas& canvas, double x, double top) const {
    double y = top;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double size = k == 0 ? kHeadingSize : kLineSize;
        y += size * 1.45;
        TextStyle style{.size = size, .bold = k == 0, .colour = kInk, .role = k == 0 ? "title" : "title-line"};
        canvas.text(x, y - 0.35 * size, lines[k], style);
    }
    if (!note.empty()) {
        y += kLineSize * 1.45;
        canvas.text(x, y - 0.35 * kLineSize, note,
                    TextStyle{.size = kLineSize, .bold = true, .colour = kNoteInk, .role = "note"});
    }
}

SeriesStyle seriesStyle(std::size_t k) {
    // Colours of the Okabe-Ito set that read on white.
    static constexpr std::array<Rgb, 6> kColours = {{{0.000, 0.447, 0.698},
                                                     {0.835, 0.369, 0.000},
                                                     {0.000, 0.620, 0.451},
                                                     {0.800, 0.475, 0.655},
                                                     {0.902, 0.624, 0.000},
                                                     {0.10, 0.10, 0.10}}};
    static const std::array<std::vector<double>, 4> kDashes = {
        {{}, {7.0, 3.5}, {2.0, 3.0}, {9.0, 3.0, 2.0, 3.0}}};
    return {kColours[k % kColours.size()], kDashes[k % kDashes.size()]};
}

void applyStyle(const Canvas& canvas, const SeriesStyle& style, double width) {
    canvas.setColour(style.colour);
    cairo_set_line_width(canvas.cr(), width);
    cairo_set_dash(canvas.cr(), style.dashes.data(), static_cast<int>(style.dashes.size()), 0);
}

void arrow(const Canvas& canvas, double x0, double y0, double x1, double y1, double head) {
    cairo_t* cr = canvas.cr();
    const double angle = std::atan2(y1 - y0, x1 - x0);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1 - 0.8 * head * std::cos(angle), y1 - 0.8 * head * std::sin(angle));
    cairo_stroke(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x1 - head * std::cos(angle - 0.4), y1 - head * std::sin(angle - 0.4));
    cairo_line_to(cr, x1 - head * std::cos(angle + 0.4), y1 - head * std::sin(angle + 0.4));
    cairo_close_path(cr);
    cairo_fill(cr);
}

double legendHeight(const Canvas& canvas, const std::vector<LegendItem>& items, double maxWidth) {
    if (items.empty()) return 0;
    double x = 0;
    double h = kLegendLine;
    for (const LegendItem& item : items) {
        const double w = kLegendSymbolWidth + 6 + canvas.textWidth(item.text, kLabelSize);
        if (x > 0 && x + w > maxWidth) {
            x = 0;
            h += kLegendLine;
        }
        x += w + kLegendGap;
    }
    return h;
}

void drawLegend(Canvas& canvas, const std::vector<LegendItem>& items, double x0, double top, double maxWidth) {
    double x = 0;
    double y = top + kLegendLine / 2;
    for (const LegendItem& item : items) {
        const double w = kLegendSymbolWidth + 6 + canvas.textWidth(item.text, kLabelSize);
        if (x > 0 && x + w > maxWidth) {
            x = 0;
            y += kLegendLine;
        }
        cairo_save(canvas.cr());
        item.symbol(canvas, x0 + x, y);
        cairo_restore(canvas.cr());
        canvas.text(x0 + x + kLegendSymbolWidth + 6, y, item.text,
                    TextStyle{.size = kLabelSize, .colour = kInk, .middle = true, .role = "legend"});
        x += w + kLegendGap;
    }
}

Canvas& measuringCanvas() {
    thread_local Canvas canvas(8, 8, ImageFormat::Png);
    return canvas;
}

}  // namespace vl::pictures
