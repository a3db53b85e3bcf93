// Polar intensity diagrams: the nadir points down, the right half-plane of each curve to
// the right; panels side by side on one radial scale so that they compare at a glance.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "writers/pictures/canvas.hpp"
#include "writers/pictures/drawing.hpp"
#include "writers/pictures/pictures.hpp"

namespace vl::pictures {

namespace {

constexpr double kRadius = 190;
constexpr double kSide = 62;         // room for the angle labels left and right of a diagram
constexpr double kPanelHead = 44;    // panel title and unit line
constexpr int kPanelsPerRow = 3;
constexpr Rgb kRing{0.80, 0.80, 0.80};

double toRadians(double degrees) { return degrees * std::numbers::pi / 180; }

class PolarDrawing {
public:
    explicit PolarDrawing(const PolarSheet& sheet) : sheet_(sheet) {
        title_.lines = sheet.title;
        double peak = 0;
        std::size_t dropped = 0;
        for (const PolarPanel& panel : sheet.panels) {
            for (const PolarCurve& curve : panel.curves) {
                if (!styles_.contains(curve.name)) {
                    const std::size_t k = styles_.size();
                    styles_[curve.name] = k;
                    names_.push_back(curve.name);
                }
                const std::size_t n = std::min(curve.angle.size(), curve.intensity.size());
                dropped += std::max(curve.angle.size(), curve.intensity.size()) - n;
                for (std::size_t k = 0; k < n; ++k) {
                    if (!std::isfinite(curve.angle[k]) || !std::isfinite(curve.intensity[k])) {
                        ++dropped;
                        continue;
                    }
                    peak = std::max(peak, curve.intensity[k]);
                    if (std::fabs(curve.angle[k]) > 90 + 1e-9 && curve.intensity[k] > 0) full_ = true;
                }
            }
        }
        if (dropped > 0) title_.note = std::to_string(dropped) + " points without a finite angle or intensity are left out.";
        if (sheet.panels.empty()) title_.note = "No intensity curve to draw.";
        step_ = niceStep(peak, 5);
        if (!(step_ > 0)) step_ = 0.2;
        outer_ = std::max(step_, std::ceil(peak / step_ - 1e-9) * step_);

        panelW_ = 2 * (kRadius + kSide);
        diagramH_ = (full_ ? 2 * kRadius : kRadius) + 2 * 28;
        panelH_ = kPanelHead + diagramH_ + 30;
        const std::size_t panels = std::max<std::size_t>(1, sheet.panels.size());
        cols_ = std::min<std::size_t>(panels, kPanelsPerRow);
        rows_ = (panels + cols_ - 1) / cols_;
        Canvas& measure = measuringCanvas();
        width_ = std::ceil(std::max(cols_ * panelW_ + 2 * kMargin, title_.width(measure) + 2 * kMargin));
        top_ = kMargin * 0.6 + title_.height() + 14;
        height_ = std::ceil(top_ + rows_ * panelH_ + legendHeight(measure, legend(), width_ - 2 * kMargin) + kMargin);
    }

    Image draw(ImageFormat format) const {
        Canvas canvas(static_cast<int>(width_), static_cast<int>(height_), format);
        title_.draw(canvas, kMargin, kMargin * 0.6);
        for (std::size_t p = 0; p < sheet_.panels.size(); ++p) {
            const double x = kMargin + static_cast<double>(p % cols_) * panelW_;
            const double y = top_ + static_cast<double>(p / cols_) * panelH_;
            drawPanel(canvas, sheet_.panels[p], x, y);
        }
        drawLegend(canvas, legend(), kMargin, top_ + rows_ * panelH_, width_ - 2 * kMargin);
        return canvas.finish();
    }

private:
    void drawPanel(Canvas& canvas, const PolarPanel& panel, double x, double y) const {
        cairo_t* cr = canvas.cr();
        const double cx = x + panelW_ / 2;
        const double cy = y + kPanelHead + 28 + (full_ ? kRadius : 0);
        canvas.text(cx, y + 16, panel.title,
                    TextStyle{.size = 13.5, .bold = true, .colour = kInk, .align = Align::Centre, .role = "panel-title"});
        canvas.text(cx, y + 33, "intensity in " + sheet_.unit,
                    TextStyle{.size = kLabelSize, .colour = kMutedInk, .align = Align::Centre, .role = "unit"});
        auto at = [&](double angle, double r) {
            const double a = toRadians(angle);
            return Point{cx + r * std::sin(a), cy + r * std::cos(a)};
        };
        // Rings and spokes.
        const double from = 0;
        const double to = full_ ? 2 * std::numbers::pi : std::numbers::pi;
        for (double v : multiplesWithin(step_, outer_, step_)) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, v / outer_ * kRadius, from, to);
        }
        canvas.setColour(kRing);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        const double limit = full_ ? 180 : 90;
        for (double angle = -limit; angle <= limit + 1e-9; angle += 15) {
            const Point end = at(angle, kRadius);
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, end.x, end.y);
        }
        cairo_stroke(cr);
        canvas.setColour(kMutedInk);
        cairo_set_line_width(cr, 1.1);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, kRadius, from, to);
        if (!full_) cairo_close_path(cr);
        cairo_stroke(cr);
        for (double angle = -limit; angle <= limit + 1e-9; angle += 30) {
            if (full_ && angle == -180) continue;
            const Point p = at(angle, kRadius + 17);
            canvas.text(p.x, p.y, formatTick(std::fabs(angle), 30) + "\u00b0",
                        TextStyle{.size = kLabelSize, .colour = kMutedInk, .align = Align::Centre, .middle = true, .role = "angle"});
        }
        // Curves, broken where a point is left out.
        cairo_save(cr);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (const PolarCurve& curve : panel.curves) {
            const std::size_t n = std::min(curve.angle.size(), curve.intensity.size());
            bool open = false;
            for (std::size_t k = 0; k < n; ++k) {
                if (!std::isfinite(curve.angle[k]) || !std::isfinite(curve.intensity[k])) {
                    open = false;
                    continue;
                }
                const Point p = at(curve.angle[k], std::max(0.0, curve.intensity[k]) / outer_ * kRadius);
                if (open) {
                    cairo_line_to(cr, p.x, p.y);
                } else {
                    cairo_move_to(cr, p.x, p.y);
                    open = true;
                }
            }
            applyStyle(canvas, seriesStyle(styles_.at(curve.name)), 2.2);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        // Ring values along the right horizontal, above it.
        const TextStyle ringStyle{.size = kLabelSize - 1, .colour = kMutedInk, .align = Align::Centre, .halo = true, .role = "ring"};
        const double ringStep = kRadius * step_ / outer_ < 34 ? 2 * step_ : step_;
        for (double v : multiplesWithin(ringStep, outer_, ringStep)) {
            canvas.text(cx + v / outer_ * kRadius, cy - 6, formatTick(v, ringStep), ringStyle);
        }
        const double below = cy + kRadius + 48;
        const TextStyle side{.size = kLabelSize, .colour = kInk, .role = "half-plane"};
        if (!panel.leftLabel.empty()) canvas.text(x + 8, below, "\u2190 " + panel.leftLabel, side);
        if (!panel.rightLabel.empty()) {
            TextStyle right = side;
            right.align = Align::Right;
            canvas.text(x + panelW_ - 8, below, panel.rightLabel + " \u2192", right);
        }
    }

    std::vector<LegendItem> legend() const {
        std::vector<LegendItem> items;
        for (std::size_t k = 0; k < names_.size(); ++k) {
            items.push_back({[k](Canvas& c, double x, double y) {
                                 cairo_move_to(c.cr(), x, y);
                                 cairo_line_to(c.cr(), x + kLegendSymbolWidth, y);
                                 applyStyle(c, seriesStyle(k), 2.2);
                                 cairo_stroke(c.cr());
                             },
                             names_[k]});
        }
        return items;
    }

    const PolarSheet& sheet_;
    TitleBlock title_;
    std::map<std::string, std::size_t> styles_;
    std::vector<std::string> names_;
    bool full_ = false;
    double step_ = 1;
    double outer_ = 1;
    double panelW_ = 1, panelH_ = 1, diagramH_ = 1;
    std::size_t cols_ = 1, rows_ = 1;
    double width_ = 1, height_ = 1, top_ = 0;
};

}  // namespace

Image drawPolarSheet(const PolarSheet& sheet, ImageFormat format) { return PolarDrawing(sheet).draw(format); }

}  // namespace vl::pictures
