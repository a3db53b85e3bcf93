// Curve charts: several series of y against x on round axes, with a legend.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "writers/pictures/canvas.hpp"
#include "writers/pictures/drawing.hpp"
#include "writers/pictures/pictures.hpp"

namespace vl::pictures {

namespace {

constexpr double kPlotWidth = 660;
constexpr double kPlotHeight = 340;
constexpr double kLeft = 84;
constexpr double kRight = 24;
constexpr double kAxisBand = 56;
constexpr std::size_t kMarkerLimit = 60;  // series with more points are drawn without markers
constexpr Rgb kGridLine{0.88, 0.88, 0.88};

std::string axisTitle(const std::string& label, const std::string& unit) {
    return unit.empty() ? label : label + " (" + unit + ")";
}

class ChartDrawing {
public:
    explicit ChartDrawing(const CurveChart& chart) : chart_(chart) {
        title_.lines = chart.title;
        bool any = false;
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        std::size_t dropped = 0;
        for (const Series& s : chart.series) {
            const std::size_t n = std::min(s.x.size(), s.y.size());
            dropped += std::max(s.x.size(), s.y.size()) - n;
            for (std::size_t k = 0; k < n; ++k) {
                if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) {
                    ++dropped;
                    continue;
                }
                x0 = any ? std::min(x0, s.x[k]) : s.x[k];
                x1 = any ? std::max(x1, s.x[k]) : s.x[k];
                y0 = any ? std::min(y0, s.y[k]) : s.y[k];
                y1 = any ? std::max(y1, s.y[k]) : s.y[k];
                any = true;
            }
        }
        if (!any) {
            title_.note = "No finite point to draw.";
            x0 = 0, x1 = 1, y0 = 0, y1 = 1;
        } else if (dropped > 0) {
            title_.note = std::to_string(dropped) + " points without a finite value are left out.";
        }
        if (chart.yFromZero && y0 > 0) y0 = 0;
        if (!(x1 > x0)) x0 -= 0.5, x1 += 0.5;
        if (!(y1 > y0)) {
            if (y0 == 0) {
                y1 = 1;
            } else {
                const double half = 0.1 * std::fabs(y0);
                y0 -= half;
                y1 += half;
            }
        }
        xStep_ = chart.xStep > 0 && (x1 - x0) / chart.xStep <= 40 ? chart.xStep : niceStep(x1 - x0, 8);
        x0_ = std::floor(x0 / xStep_ + 1e-9) * xStep_;
        x1_ = std::ceil(x1 / xStep_ - 1e-9) * xStep_;
        yStep_ = niceStep(y1 - y0, 6);
        y0_ = std::floor(y0 / yStep_ + 1e-9) * yStep_;
        y1_ = std::ceil(y1 / yStep_ - 1e-9) * yStep_;
        // Spans beyond the doubles (values near the largest double) fall back to a plain axis.
        if (!(xStep_ > 0) || !std::isfinite(x0_) || !std::isfinite(x1_) || !(x1_ > x0_)) x0_ = 0, x1_ = 1, xStep_ = 0.2;
        if (!(yStep_ > 0) || !std::isfinite(y0_) || !std::isfinite(y1_) || !(y1_ > y0_)) y0_ = 0, y1_ = 1, yStep_ = 0.2;

        Canvas& measure = measuringCanvas();
        plotX_ = kLeft;
        plotY_ = kMargin * 0.6 + title_.height() + 18;
        width_ = std::ceil(std::max(kLeft + kPlotWidth + kRight, title_.width(measure) + 2 * kMargin));
        height_ = std::ceil(plotY_ + kPlotHeight + kAxisBand + legendHeight(measure, legend(), width_ - kLeft - kMargin) + kMargin);
    }

    Image draw(ImageFormat format) const {
        Canvas canvas(static_cast<int>(width_), static_cast<int>(height_), format);
        cairo_t* cr = canvas.cr();
        title_.draw(canvas, kMargin, kMargin * 0.6);
        // Grid lines and ticks.
        const auto xs = multiplesWithin(x0_, x1_, xStep_);
        const auto ys = multiplesWithin(y0_, y1_, yStep_);
        for (double x : xs) {
            cairo_move_to(cr, X(x), plotY_);
            cairo_line_to(cr, X(x), plotY_ + kPlotHeight);
        }
        for (double y : ys) {
            cairo_move_to(cr, plotX_, Y(y));
            cairo_line_to(cr, plotX_ + kPlotWidth, Y(y));
        }
        canvas.setColour(kGridLine);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        const TextStyle xTick{.size = kLabelSize, .colour = kInk, .align = Align::Centre, .role = "axis"};
        const TextStyle yTick{.size = kLabelSize, .colour = kInk, .align = Align::Right, .middle = true, .role = "axis"};
        for (double x : xs) canvas.text(X(x), plotY_ + kPlotHeight + 18, formatTick(x, xStep_), xTick);
        for (double y : ys) canvas.text(plotX_ - 8, Y(y), formatTick(y, yStep_), yTick);
        canvas.text(plotX_ + kPlotWidth / 2, plotY_ + kPlotHeight + 40, axisTitle(chart_.xLabel, chart_.xUnit),
                    TextStyle{.size = kLineSize, .colour = kInk, .align = Align::Centre, .role = "axis-title"});
        canvas.text(plotX_ - 62, plotY_ + kPlotHeight / 2, axisTitle(chart_.yLabel, chart_.yUnit),
                    TextStyle{.size = kLineSize, .colour = kInk, .align = Align::Centre, .angle = -std::numbers::pi / 2,
                              .role = "axis-title"});
        // Series, broken where a point is left out.
        cairo_save(cr);
        cairo_rectangle(cr, plotX_ - 4, plotY_ - 4, kPlotWidth + 8, kPlotHeight + 8);
        cairo_clip(cr);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (std::size_t k = 0; k < chart_.series.size(); ++k) {
            const Series& s = chart_.series[k];
            const std::size_t n = std::min(s.x.size(), s.y.size());
            bool open = false;
            for (std::size_t i = 0; i < n; ++i) {
                if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) {
                    open = false;
                    continue;
                }
                if (open) {
                    cairo_line_to(cr, X(s.x[i]), Y(s.y[i]));
                } else {
                    cairo_move_to(cr, X(s.x[i]), Y(s.y[i]));
                    open = true;
                }
            }
            const SeriesStyle style = seriesStyle(k);
            applyStyle(canvas, style, 2.0);
            cairo_stroke(cr);
            if (n <= kMarkerLimit) {
                for (std::size_t i = 0; i < n; ++i) {
                    if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, X(s.x[i]), Y(s.y[i]), 2.6, 0, 2 * std::numbers::pi);
                }
                canvas.setColour(style.colour);
                cairo_fill(cr);
            }
        }
        cairo_restore(cr);
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, plotX_, plotY_, kPlotWidth, kPlotHeight);
        cairo_stroke(cr);
        drawLegend(canvas, legend(), kLeft, plotY_ + kPlotHeight + kAxisBand, width_ - kLeft - kMargin);
        return canvas.finish();
    }

private:
    double X(double x) const { return plotX_ + (x - x0_) / (x1_ - x0_) * kPlotWidth; }
    double Y(double y) const { return plotY_ + kPlotHeight - (y - y0_) / (y1_ - y0_) * kPlotHeight; }

    std::vector<LegendItem> legend() const {
        std::vector<LegendItem> items;
        for (std::size_t k = 0; k < chart_.series.size(); ++k) {
            items.push_back({[k](Canvas& c, double x, double y) {
                                 cairo_move_to(c.cr(), x, y);
                                 cairo_line_to(c.cr(), x + kLegendSymbolWidth, y);
                                 applyStyle(c, seriesStyle(k), 2.0);
                                 cairo_stroke(c.cr());
                             },
                             chart_.series[k].name});
        }
        return items;
    }

    const CurveChart& chart_;
    TitleBlock title_;
    double x0_ = 0, x1_ = 1, y0_ = 0, y1_ = 1, xStep_ = 1, yStep_ = 1;
    double plotX_ = 0, plotY_ = 0, width_ = 1, height_ = 1;
};

}  // namespace

Image drawCurveChart(const CurveChart& chart, ImageFormat format) { return ChartDrawing(chart).draw(format); }

}  // namespace vl::pictures
