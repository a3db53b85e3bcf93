// A grid map: false colour over the road in plan, isolines at round values with labels
// along them, grid points, luminaires, road edges, observers, colour bar and title.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "writers/pictures/canvas.hpp"
#include "writers/pictures/colour_map.hpp"
#include "writers/pictures/drawing.hpp"
#include "writers/pictures/pictures.hpp"

namespace vl::pictures {

namespace {

constexpr double kPlotMaxWidth = 760;
constexpr double kPlotMaxHeight = 470;
constexpr double kMinBodyHeight = 190;
constexpr double kLeft = 70;
constexpr double kRight = 128;
constexpr double kMinCanvasWidth = 560;
constexpr double kAxisBand = 46;
constexpr double kGridDotSpacing = 7;   // px between grid points below which they become ticks
constexpr double kLabelSpacing = 300;   // px of curve between two labels of one curve
constexpr double kLabelMinLength = 90;  // px: shorter curves are not labelled
constexpr Rgb kVerge{0.95, 0.95, 0.93};
constexpr Rgb kHatchLight{0.93, 0.93, 0.93};
constexpr Rgb kHatchDark{0.78, 0.78, 0.78};
constexpr Rgb kEdge{0.20, 0.20, 0.20};

struct FieldSummary {
    bool usable = false;  // values fit the coordinates, axes finite and increasing
    std::size_t count = 0;
    std::size_t finite = 0;
    double lo = 0;
    double hi = 0;
};

bool axisUsable(const std::vector<double>& axis) {
    for (std::size_t k = 0; k < axis.size(); ++k) {
        if (!std::isfinite(axis[k]) || (k > 0 && !(axis[k] > axis[k - 1]))) return false;
    }
    return true;
}

FieldSummary summarise(const ScalarGrid& g) {
    FieldSummary s;
    s.usable = g.values.size() == g.nx() * g.ny() && axisUsable(g.x) && axisUsable(g.y);
    if (!s.usable) return s;
    s.count = g.values.size();
    for (double v : g.values) {
        if (!std::isfinite(v)) continue;
        s.lo = s.finite == 0 ? v : std::min(s.lo, v);
        s.hi = s.finite == 0 ? v : std::max(s.hi, v);
        ++s.finite;
    }
    return s;
}

std::string countText(std::size_t n) { return std::to_string(n); }

std::string withUnit(double value, const std::string& unit) {
    return unit.empty() ? formatValue(value) : formatValue(value) + " " + unit;
}

bool finiteRange(const std::optional<Range>& r) {
    return r && std::isfinite(r->lo) && std::isfinite(r->hi) && r->hi > r->lo;
}

std::uint32_t packed(const Rgb& c) {
    auto channel = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

class MapDrawing {
public:
    explicit MapDrawing(const MapPicture& map) : map_(map), summary_(summarise(map.field)) {
        title_.lines = map.title;
        title_.note = mapNote(map);
        chooseScale();
        layOut();
        if (summary_.usable && summary_.finite > 0) {
            rasterise();
            const double s = scale_;
            curves_ = traceIsolines(map.field, levels_, LabelPlacement{kLabelSpacing / s, kLabelMinLength / s});
        }
        sizeCanvas();
    }

    Image draw(ImageFormat format) const {
        Canvas canvas(static_cast<int>(width_), static_cast<int>(height_), format);
        cairo_t* cr = canvas.cr();
        cairo_save(cr);
        cairo_rectangle(cr, plotX_, plotY_, plotW_, plotH_);
        cairo_clip(cr);
        canvas.setColour(kVerge);
        cairo_paint(cr);
        drawField(canvas);
        drawRoadEdges(canvas);
        drawIsolines(canvas);
        drawGridPoints(canvas);
        cairo_restore(cr);
        drawLuminaires(canvas);
        drawObservers(canvas);
        drawIsolineLabels(canvas);
        drawAxes(canvas);
        drawColourBar(canvas);
        title_.draw(canvas, kMargin, kMargin * 0.6);
        drawLegend(canvas, legend(), kLeft, legendTop(), width_ - kLeft - kMargin);
        return canvas.finish();
    }

private:
    double X(double x) const { return plotX_ + (x - viewX0_) * scale_; }
    double Y(double y) const { return plotY_ + (viewY1_ - y) * scale_; }

    void chooseScale() {
        if (finiteRange(map_.fixedRange)) {
            range_ = *map_.fixedRange;
        } else if (summary_.finite > 0 && summary_.hi > summary_.lo) {
            range_ = {summary_.lo, summary_.hi};
        } else if (summary_.finite > 0) {
            // One value: the scale runs from zero to it, so that it shows as dark or light.
            const double v = summary_.lo;
            range_ = v > 0 ? Range{0, v} : v < 0 ? Range{v, 0} : Range{0, 1};
        }
        hasScale_ = summary_.finite > 0;
        if (hasScale_) {
            levels_ = niceLevels(range_.lo, range_.hi, std::max(1, map_.levelCount));
            levelStep_ = niceStep(range_.hi - range_.lo, std::max(1, map_.levelCount));
        }
    }

    void layOut() {
        const RoadOutline& road = map_.road;
        double x0 = road.xFrom, x1 = road.xTo, y0 = std::min(road.yFrom, road.yTo), y1 = std::max(road.yFrom, road.yTo);
        auto include = [&](double x, double y) {
            if (!std::isfinite(x) || !std::isfinite(y)) return;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        };
        if (summary_.usable && summary_.count > 0) {
            include(map_.field.x.front(), map_.field.y.front());
            include(map_.field.x.back(), map_.field.y.back());
        }
        for (const MapLuminaire& l : map_.luminaires) {
            include(l.at.x, l.at.y);
            if (l.pole) include(l.pole->x, l.pole->y);
        }
        if (!std::isfinite(x0) || !std::isfinite(x1) || !(x1 > x0)) {
            x0 = std::isfinite(x0) ? x0 - 0.5 : 0;
            x1 = x0 + 1;
        }
        if (!std::isfinite(y0) || !std::isfinite(y1) || !(y1 > y0)) {
            y0 = std::isfinite(y0) ? y0 - 0.5 : 0;
            y1 = y0 + 1;
        }
        const double pad = 0.05 * std::max(x1 - x0, y1 - y0);
        viewX0_ = x0 - pad;
        viewX1_ = x1 + pad;
        viewY0_ = y0 - pad;
        viewY1_ = y1 + pad;
        scale_ = std::min(kPlotMaxWidth / (viewX1_ - viewX0_), kPlotMaxHeight / (viewY1_ - viewY0_));
        plotW_ = (viewX1_ - viewX0_) * scale_;
        plotH_ = (viewY1_ - viewY0_) * scale_;
        bodyH_ = std::max(plotH_, kMinBodyHeight);
        const double bodyTop = kMargin * 0.6 + title_.height() + 22;
        plotX_ = kLeft;
        plotY_ = bodyTop + (bodyH_ - plotH_) / 2;
    }

    double legendTop() const {
        const double bodyBottom = plotY_ + plotH_ + (bodyH_ - plotH_) / 2;
        return std::max(plotY_ + plotH_ + kAxisBand, bodyBottom + 8);
    }

    void sizeCanvas() {
        Canvas& measure = measuringCanvas();
        width_ = std::ceil(std::max({kLeft + plotW_ + kRight, title_.width(measure) + 2 * kMargin, kMinCanvasWidth}));
        height_ = std::ceil(legendTop() + legendHeight(measure, legend(), width_ - kLeft - kMargin) + kMargin);
    }

    // The field over the road and the grid's extent, bilinear between the nodes and held
    // at the border values beyond them; a point near a non-finite node is hatched.
    void rasterise() {
        const ScalarGrid& g = map_.field;
        const RoadOutline& road = map_.road;
        double rx0 = std::min({road.xFrom, road.xTo, g.x.front()});
        double rx1 = std::max({road.xFrom, road.xTo, g.x.back()});
        double ry0 = std::min({road.yFrom, road.yTo, g.y.front()});
        double ry1 = std::max({road.yFrom, road.yTo, g.y.back()});
        if (!std::isfinite(rx0) || !std::isfinite(rx1) || !std::isfinite(ry0) || !std::isfinite(ry1)) {
            rx0 = g.x.front();
            rx1 = g.x.back();
            ry0 = g.y.front();
            ry1 = g.y.back();
        }
        fieldX0_ = std::clamp(X(rx0), plotX_, plotX_ + plotW_);
        fieldX1_ = std::clamp(X(rx1), plotX_, plotX_ + plotW_);
        fieldY0_ = std::clamp(Y(ry1), plotY_, plotY_ + plotH_);
        fieldY1_ = std::clamp(Y(ry0), plotY_, plotY_ + plotH_);
        rasterX_ = static_cast<int>(std::floor(fieldX0_));
        rasterY_ = static_cast<int>(std::floor(fieldY0_));
        rasterW_ = std::max(1, static_cast<int>(std::ceil(fieldX1_)) - rasterX_);
        rasterH_ = std::max(1, static_cast<int>(std::ceil(fieldY1_)) - rasterY_);

        struct Step {
            std::size_t k0 = 0;
            std::size_t k1 = 0;
            double t = 0;
        };
        auto locate = [](const std::vector<double>& axis, double v) {
            Step s;
            if (axis.size() == 1 || v <= axis.front()) return s;
            if (v >= axis.back()) {
                s.k0 = s.k1 = axis.size() - 1;
                return s;
            }
            const auto it = std::upper_bound(axis.begin(), axis.end(), v);
            s.k1 = static_cast<std::size_t>(it - axis.begin());
            s.k0 = s.k1 - 1;
            s.t = (v - axis[s.k0]) / (axis[s.k1] - axis[s.k0]);
            return s;
        };
        std::vector<Step> columns(static_cast<std::size_t>(rasterW_));
        for (int u = 0; u < rasterW_; ++u) {
            columns[static_cast<std::size_t>(u)] = locate(g.x, viewX0_ + (rasterX_ + u + 0.5 - plotX_) / scale_);
        }
        std::vector<Step> rows(static_cast<std::size_t>(rasterH_));
        for (int v = 0; v < rasterH_; ++v) {
            rows[static_cast<std::size_t>(v)] = locate(g.y, viewY1_ - (rasterY_ + v + 0.5 - plotY_) / scale_);
        }
        constexpr int kShades = 1024;
        std::array<std::uint32_t, kShades> shades{};
        for (int k = 0; k < kShades; ++k) shades[static_cast<std::size_t>(k)] = packed(viridis(k / double(kShades - 1)));
        const std::uint32_t hatchLight = packed(kHatchLight);
        const std::uint32_t hatchDark = packed(kHatchDark);
        const double span = range_.hi - range_.lo;

        raster_.assign(static_cast<std::size_t>(rasterW_) * static_cast<std::size_t>(rasterH_), 0);
        for (int v = 0; v < rasterH_; ++v) {
            const Step& r = rows[static_cast<std::size_t>(v)];
            for (int u = 0; u < rasterW_; ++u) {
                const Step& c = columns[static_cast<std::size_t>(u)];
                const double a = g.value(c.k0, r.k0);
                const double b = g.value(c.k1, r.k0);
                const double d = g.value(c.k1, r.k1);
                const double e = g.value(c.k0, r.k1);
                double value;
                if (std::isfinite(a) && std::isfinite(b) && std::isfinite(d) && std::isfinite(e)) {
                    const double low = a + c.t * (b - a);
                    const double high = e + c.t * (d - e);
                    value = low + r.t * (high - low);
                } else {
                    value = g.value(c.t < 0.5 ? c.k0 : c.k1, r.t < 0.5 ? r.k0 : r.k1);
                }
                std::uint32_t pixel;
                if (std::isfinite(value)) {
                    const double t = std::clamp((value - range_.lo) / span, 0.0, 1.0);
                    pixel = shades[static_cast<std::size_t>(std::lround(t * (kShades - 1)))];
                } else {
                    pixel = (((rasterX_ + u) + (rasterY_ + v)) / 4) % 2 == 0 ? hatchDark : hatchLight;
                }
                raster_[static_cast<std::size_t>(v) * static_cast<std::size_t>(rasterW_) + static_cast<std::size_t>(u)] = pixel;
            }
        }
    }

    void drawField(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        if (raster_.empty()) {
            // No finite value: the road in the colour of missing values.
            if (summary_.finite == 0) {
                const RoadOutline& road = map_.road;
                canvas.setColour(kNoValue);
                cairo_rectangle(cr, X(std::min(road.xFrom, road.xTo)), Y(std::max(road.yFrom, road.yTo)),
                                std::fabs(road.xTo - road.xFrom) * scale_, std::fabs(road.yTo - road.yFrom) * scale_);
                cairo_fill(cr);
            }
            return;
        }
        cairo_save(cr);
        cairo_rectangle(cr, fieldX0_, fieldY0_, fieldX1_ - fieldX0_, fieldY1_ - fieldY0_);
        cairo_clip(cr);
        canvas.paintPixels(raster_, rasterW_, rasterH_, rasterX_, rasterY_);
        cairo_restore(cr);
    }

    void drawRoadEdges(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        canvas.setColour(kEdge);
        cairo_set_line_width(cr, 2.2);
        for (double y : {map_.road.yFrom, map_.road.yTo}) {
            if (!std::isfinite(y)) continue;
            cairo_move_to(cr, plotX_, Y(y));
            cairo_line_to(cr, plotX_ + plotW_, Y(y));
        }
        cairo_stroke(cr);
    }

    void curvePath(cairo_t* cr, const IsolineCurve& curve) const {
        cairo_move_to(cr, X(curve.points.front().x), Y(curve.points.front().y));
        for (std::size_t k = 1; k < curve.points.size(); ++k) cairo_line_to(cr, X(curve.points[k].x), Y(curve.points[k].y));
        if (curve.closed) cairo_close_path(cr);
    }

    void drawIsolines(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (const IsolineCurve& curve : curves_) curvePath(cr, curve);
        canvas.setColour({1, 1, 1}, 0.75);
        cairo_set_line_width(cr, 2.6);
        cairo_stroke_preserve(cr);
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }

    double pixelSpacing(const std::vector<double>& axis) const {
        double spacing = std::numeric_limits<double>::infinity();
        for (std::size_t k = 1; k < axis.size(); ++k) spacing = std::min(spacing, (axis[k] - axis[k - 1]) * scale_);
        return spacing;
    }

    bool dotsShown() const {
        const ScalarGrid& g = map_.field;
        return std::min(pixelSpacing(g.x), pixelSpacing(g.y)) >= kGridDotSpacing;
    }

    void drawGridPoints(Canvas& canvas) const {
        const ScalarGrid& g = map_.field;
        if (!summary_.usable || summary_.count == 0) return;
        cairo_t* cr = canvas.cr();
        if (dotsShown()) {
            for (double x : g.x) {
                for (double y : g.y) {
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, X(x), Y(y), 1.7, 0, 2 * std::numbers::pi);
                }
            }
            canvas.setColour({1, 1, 1}, 0.8);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke_preserve(cr);
            canvas.setColour(kInk);
            cairo_fill(cr);
            return;
        }
        // Dense grids: the node positions as ticks inside the bottom and left frame.
        auto every = [](double spacing) { return static_cast<std::size_t>(std::max(1.0, std::ceil(2.5 / spacing))); };
        const std::size_t sx = every(pixelSpacing(g.x));
        const std::size_t sy = every(pixelSpacing(g.y));
        for (std::size_t i = 0; i < g.nx(); i += sx) {
            cairo_move_to(cr, X(g.x[i]), plotY_ + plotH_);
            cairo_line_to(cr, X(g.x[i]), plotY_ + plotH_ - 6);
        }
        for (std::size_t j = 0; j < g.ny(); j += sy) {
            cairo_move_to(cr, plotX_, Y(g.y[j]));
            cairo_line_to(cr, plotX_ + 6, Y(g.y[j]));
        }
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }

    static void luminaireSymbol(const Canvas& canvas, double x, double y) {
        cairo_t* cr = canvas.cr();
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, 6.5, 0, 2 * std::numbers::pi);
        canvas.setColour({1, 0.98, 0.85});
        cairo_fill_preserve(cr);
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
        cairo_arc(cr, x, y, 2.4, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
    }

    void drawLuminaires(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        for (const MapLuminaire& l : map_.luminaires) {
            if (!std::isfinite(l.at.x) || !std::isfinite(l.at.y)) continue;
            if (l.pole && std::isfinite(l.pole->x) && std::isfinite(l.pole->y)) {
                canvas.setColour(kInk);
                cairo_set_line_width(cr, 2.4);
                cairo_move_to(cr, X(l.pole->x), Y(l.pole->y));
                cairo_line_to(cr, X(l.at.x), Y(l.at.y));
                cairo_stroke(cr);
                cairo_rectangle(cr, X(l.pole->x) - 3.5, Y(l.pole->y) - 3.5, 7, 7);
                cairo_fill(cr);
            }
            luminaireSymbol(canvas, X(l.at.x), Y(l.at.y));
        }
    }

    struct ObserverMark {
        double x = 0, y = 0;    // start of the arrow on the page
        double dx = 1, dy = 0;  // direction of view on the page
        bool inside = false;    // the eye itself lies in the drawing
        std::string label;
        double labelX = 0, labelY = 0, labelWidth = 0;
    };
    static constexpr double kArrowLength = 54;

    // Each observer's arrow starts at the eye, or where the line of sight enters the
    // drawing (else at the nearest border point) when the eye lies outside it.
    std::vector<ObserverMark> observerMarks() const {
        std::vector<ObserverMark> marks;
        const Canvas& measure = measuringCanvas();
        for (const MapObserver& o : map_.observers) {
            if (!std::isfinite(o.eye.x) || !std::isfinite(o.eye.y) || !std::isfinite(o.viewDirection)) continue;
            ObserverMark m;
            const double a = o.viewDirection * std::numbers::pi / 180;
            m.dx = std::cos(a);
            m.dy = -std::sin(a);
            m.x = X(o.eye.x);
            m.y = Y(o.eye.y);
            const double right = plotX_ + plotW_, bottom = plotY_ + plotH_;
            m.inside = m.x >= plotX_ && m.x <= right && m.y >= plotY_ && m.y <= bottom;
            if (!m.inside) {
                double enter = -1;
                for (double t : {(plotX_ - m.x) / m.dx, (right - m.x) / m.dx, (plotY_ - m.y) / m.dy, (bottom - m.y) / m.dy}) {
                    if (!std::isfinite(t) || t < 0) continue;
                    const double px = m.x + t * m.dx, py = m.y + t * m.dy;
                    const bool onFrame = px >= plotX_ - 1e-6 && px <= right + 1e-6 && py >= plotY_ - 1e-6 && py <= bottom + 1e-6;
                    if (onFrame && (enter < 0 || t < enter)) enter = t;
                }
                if (enter >= 0) {
                    m.x += enter * m.dx;
                    m.y += enter * m.dy;
                } else {
                    m.x = std::clamp(m.x, plotX_, right);
                    m.y = std::clamp(m.y, plotY_, bottom);
                }
            }
            m.label = o.label;
            m.labelWidth = measure.textWidth(m.label, kLabelSize, true);
            // Beside the arrow, on the side away from it.
            m.labelX = std::clamp(m.x + 4, plotX_ + 4, right - m.labelWidth - 4);
            m.labelY = m.dy > 0.5 ? m.y - 10 : std::max(m.y - 10, plotY_ + 16);
            if (m.dy <= 0.5 && m.y - 10 < plotY_ + 16) m.labelY = m.y + 20;
            marks.push_back(m);
        }
        return marks;
    }

    void drawObservers(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        for (const ObserverMark& m : observerMarks()) {
            const double x1 = m.x + kArrowLength * m.dx, y1 = m.y + kArrowLength * m.dy;
            canvas.setColour({1, 1, 1}, 0.85);
            cairo_set_line_width(cr, 5);
            arrow(canvas, m.x, m.y, x1, y1, 13);
            canvas.setColour(kNoteInk);
            cairo_set_line_width(cr, 2.4);
            arrow(canvas, m.x, m.y, x1, y1, 11);
            if (m.inside) {
                cairo_arc(cr, m.x, m.y, 4, 0, 2 * std::numbers::pi);
                cairo_fill(cr);
            }
            canvas.text(m.labelX, m.labelY, m.label,
                        TextStyle{.size = kLabelSize, .bold = true, .colour = kNoteInk, .halo = true, .role = "observer"});
        }
    }

    void drawIsolineLabels(Canvas& canvas) const {
        struct Box {
            double x0, y0, x1, y1;
        };
        std::vector<Box> placed;
        // Luminaire symbols and observers keep their place.
        for (const MapLuminaire& l : map_.luminaires) placed.push_back({X(l.at.x) - 8, Y(l.at.y) - 8, X(l.at.x) + 8, Y(l.at.y) + 8});
        for (const ObserverMark& m : observerMarks()) {
            const double x1 = m.x + kArrowLength * m.dx, y1 = m.y + kArrowLength * m.dy;
            placed.push_back({std::min(m.x, x1) - 8, std::min(m.y, y1) - 8, std::max(m.x, x1) + 8, std::max(m.y, y1) + 8});
            placed.push_back({m.labelX - 2, m.labelY - kLabelSize - 2, m.labelX + m.labelWidth + 2, m.labelY + 5});
        }
        for (const IsolineCurve& curve : curves_) {
            const std::string text = formatTick(curve.level, levelStep_);
            const double w = canvas.textWidth(text, kLabelSize) + 6;
            const double h = kLabelSize + 4;
            for (const LabelAnchor& anchor : curve.labels) {
                const double x = X(anchor.at.x), y = Y(anchor.at.y);
                const double angle = -anchor.angle;
                const double hw = 0.5 * (w * std::fabs(std::cos(angle)) + h * std::fabs(std::sin(angle)));
                const double hh = 0.5 * (w * std::fabs(std::sin(angle)) + h * std::fabs(std::cos(angle)));
                // A little room around each label keeps neighbouring labels apart.
                const Box box{x - hw - 3, y - hh - 3, x + hw + 3, y + hh + 3};
                if (box.x0 < plotX_ + 2 || box.x1 > plotX_ + plotW_ - 2 || box.y0 < plotY_ + 2 || box.y1 > plotY_ + plotH_ - 2) continue;
                const bool overlaps = std::any_of(placed.begin(), placed.end(), [&](const Box& b) {
                    return box.x0 < b.x1 && b.x0 < box.x1 && box.y0 < b.y1 && b.y0 < box.y1;
                });
                if (overlaps) continue;
                placed.push_back(box);
                canvas.text(x, y, text,
                            TextStyle{.size = kLabelSize, .colour = kInk, .align = Align::Centre, .middle = true,
                                      .halo = true, .angle = angle, .role = "isoline"});
            }
        }
    }

    void drawAxes(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, plotX_, plotY_, plotW_, plotH_);
        cairo_stroke(cr);
        double step = niceStep(viewX1_ - viewX0_, std::max(2, static_cast<int>(plotW_ / 75)));
        auto xs = multiplesWithin(viewX0_, viewX1_, step);
        auto ys = multiplesWithin(viewY0_, viewY1_, step);
        double yStep = step;
        if (ys.size() < 3) {
            yStep = niceStep(viewY1_ - viewY0_, 3);
            ys = multiplesWithin(viewY0_, viewY1_, yStep);
        }
        const TextStyle tickStyle{.size = kLabelSize, .colour = kInk, .align = Align::Centre, .role = "axis"};
        for (double x : xs) {
            cairo_move_to(cr, X(x), plotY_ + plotH_);
            cairo_line_to(cr, X(x), plotY_ + plotH_ + 5);
            canvas.text(X(x), plotY_ + plotH_ + 18, formatTick(x, step), tickStyle);
        }
        TextStyle yTick = tickStyle;
        yTick.align = Align::Right;
        yTick.middle = true;
        for (double y : ys) {
            cairo_move_to(cr, plotX_, Y(y));
            cairo_line_to(cr, plotX_ - 5, Y(y));
            canvas.text(plotX_ - 8, Y(y), formatTick(y, yStep), yTick);
        }
        cairo_stroke(cr);
        canvas.text(plotX_ + plotW_ / 2, plotY_ + plotH_ + 36, "x along the road (m)",
                    TextStyle{.size = kLineSize, .colour = kInk, .align = Align::Centre, .role = "axis-title"});
        canvas.text(plotX_ - 50, plotY_ + plotH_ / 2, "y across (m)",
                    TextStyle{.size = kLineSize, .colour = kInk, .align = Align::Centre, .angle = -std::numbers::pi / 2,
                              .role = "axis-title"});
    }

    void drawColourBar(Canvas& canvas) const {
        cairo_t* cr = canvas.cr();
        const double barX = plotX_ + plotW_ + 30;
        const double barW = 16;
        const double top = plotY_ - (bodyH_ - plotH_) / 2;
        const bool hatched = summary_.finite < summary_.count || !summary_.usable || summary_.count == 0;
        const double swatch = hatched ? 30 : 0;
        const double barTop = top + 16;
        const double barH = bodyH_ - 16 - swatch;
        if (!map_.unit.empty()) {
            canvas.text(barX + barW / 2, top + 4, map_.unit,
                        TextStyle{.size = kLineSize, .bold = true, .colour = kInk, .align = Align::Centre, .role = "unit"});
        }
        if (hatched) {
            // The swatch shows missing values as the map does: hatched among values, plain
            // where the map has no value at all.
            const double sy = top + bodyH_ - 14;
            for (int k = 0; k < 4; ++k) {
                canvas.setColour(!hasScale_ ? kNoValue : k % 2 == 0 ? kHatchDark : kHatchLight);
                cairo_rectangle(cr, barX, sy + k * 3.5, barW, 3.5);
                cairo_fill(cr);
            }
            canvas.setColour(kInk);
            cairo_set_line_width(cr, 0.8);
            cairo_rectangle(cr, barX, sy, barW, 14);
            cairo_stroke(cr);
            canvas.text(barX + barW + 6, sy + 7, "no value",
                        TextStyle{.size = kLabelSize, .colour = kInk, .middle = true, .role = "colour-bar"});
        }
        if (!hasScale_) return;
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, barTop + barH, 0, barTop);
        constexpr int kStops = 32;
        for (int k = 0; k <= kStops; ++k) {
            const Rgb c = viridis(k / double(kStops));
            cairo_pattern_add_color_stop_rgb(gradient, k / double(kStops), c.r, c.g, c.b);
        }
        cairo_rectangle(cr, barX, barTop, barW, barH);
        cairo_set_source(cr, gradient);
        cairo_fill(cr);
        cairo_pattern_destroy(gradient);
        auto barY = [&](double v) { return barTop + barH - (v - range_.lo) / (range_.hi - range_.lo) * barH; };
        // Isoline levels as lines across the bar.
        for (double level : levels_) {
            cairo_move_to(cr, barX, barY(level));
            cairo_line_to(cr, barX + barW, barY(level));
        }
        canvas.setColour({1, 1, 1}, 0.9);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        canvas.setColour(kInk);
        cairo_set_line_width(cr, 0.8);
        cairo_rectangle(cr, barX, barTop, barW, barH);
        cairo_stroke(cr);
        // Labels at the levels' step, thinned to fit, and at both ends of the scale.
        double step = levelStep_;
        auto ticks = multiplesWithin(range_.lo, range_.hi, step);
        while (step > 0 && ticks.size() > std::max<std::size_t>(2, static_cast<std::size_t>(barH / 22))) {
            step = niceStep(range_.hi - range_.lo, std::max(1, static_cast<int>(ticks.size()) / 2));
            ticks = multiplesWithin(range_.lo, range_.hi, step);
        }
        const TextStyle tickStyle{.size = kLabelSize, .colour = kInk, .middle = true, .role = "colour-bar"};
        std::vector<std::string> labels;
        for (double v : ticks) labels.push_back(formatTick(v, step));
        if (summary_.lo == summary_.hi && !finiteRange(map_.fixedRange)) {
            // One value: the scale runs from zero to it; both ends are labelled.
            ticks = {range_.lo, range_.hi};
            labels = {formatValue(range_.lo), formatValue(range_.hi)};
        }
        for (std::size_t k = 0; k < ticks.size(); ++k) {
            const double y = barY(ticks[k]);
            cairo_move_to(cr, barX + barW, y);
            cairo_line_to(cr, barX + barW + 4, y);
            canvas.text(barX + barW + 7, y, labels[k], tickStyle);
        }
        cairo_stroke(cr);
    }

    std::vector<LegendItem> legend() const {
        std::vector<LegendItem> items;
        const ScalarGrid& g = map_.field;
        if (summary_.usable && summary_.count > 0) {
            if (dotsShown()) {
                items.push_back({[](Canvas& c, double x, double y) {
                                     cairo_arc(c.cr(), x + 13, y, 1.9, 0, 2 * std::numbers::pi);
                                     c.setColour(kInk);
                                     cairo_fill(c.cr());
                                 },
                                 "grid point (" + countText(g.nx()) + " \u00d7 " + countText(g.ny()) + ")"});
            } else {
                items.push_back({[](Canvas& c, double x, double y) {
                                     c.setColour(kInk);
                                     cairo_set_line_width(c.cr(), 0.8);
                                     for (int k = 0; k < 6; ++k) {
                                         cairo_move_to(c.cr(), x + 3 + 4 * k, y + 5);
                                         cairo_line_to(c.cr(), x + 3 + 4 * k, y - 1);
                                     }
                                     cairo_stroke(c.cr());
                                 },
                                 "grid " + countText(g.nx()) + " \u00d7 " + countText(g.ny()) + " points, ticks on the frame"});
            }
        }
        if (!curves_.empty()) {
            items.push_back({[](Canvas& c, double x, double y) {
                                 cairo_move_to(c.cr(), x, y);
                                 cairo_line_to(c.cr(), x + kLegendSymbolWidth, y);
                                 c.setColour(kInk);
                                 cairo_set_line_width(c.cr(), 1.0);
                                 cairo_stroke(c.cr());
                             },
                             "isoline" + (map_.unit.empty() ? std::string() : " (" + map_.unit + ")")});
        }
        if (!map_.luminaires.empty()) {
            const bool poles = std::any_of(map_.luminaires.begin(), map_.luminaires.end(),
                                           [](const MapLuminaire& l) { return l.pole.has_value(); });
            items.push_back({[](Canvas& c, double x, double y) { luminaireSymbol(c, x + 13, y); },
                             poles ? "luminaire, arm and pole" : "luminaire"});
        }
        items.push_back({[](Canvas& c, double x, double y) {
                             cairo_move_to(c.cr(), x, y);
                             cairo_line_to(c.cr(), x + kLegendSymbolWidth, y);
                             c.setColour(kEdge);
                             cairo_set_line_width(c.cr(), 2.2);
                             cairo_stroke(c.cr());
                         },
                         "road edge"});
        for (const MapObserver& o : map_.observers) {
            std::string text = o.label + ": eye at x = " + formatValue(o.eye.x) + " m, y = " + formatValue(o.eye.y) + " m, ";
            text += o.viewDirection == 0 ? "looking along +x" : "looking " + formatValue(o.viewDirection) + "\u00b0 from +x";
            items.push_back({[](Canvas& c, double x, double y) {
                                 c.setColour(kNoteInk);
                                 cairo_set_line_width(c.cr(), 2.4);
                                 arrow(c, x, y, x + kLegendSymbolWidth, y, 9);
                             },
                             text});
        }
        return items;
    }

    const MapPicture& map_;
    FieldSummary summary_;
    TitleBlock title_;
    Range range_;
    bool hasScale_ = false;
    std::vector<double> levels_;
    double levelStep_ = 0;
    std::vector<IsolineCurve> curves_;
    double viewX0_ = 0, viewX1_ = 1, viewY0_ = 0, viewY1_ = 1;
    double scale_ = 1;
    double plotX_ = 0, plotY_ = 0, plotW_ = 1, plotH_ = 1, bodyH_ = 1;
    double width_ = 1, height_ = 1;
    double fieldX0_ = 0, fieldX1_ = 0, fieldY0_ = 0, fieldY1_ = 0;
    int rasterX_ = 0, rasterY_ = 0, rasterW_ = 0, rasterH_ = 0;
    std::vector<std::uint32_t> raster_;
};

}  // namespace

std::string mapNote(const MapPicture& map) {
    const FieldSummary s = summarise(map.field);
    if (!s.usable) return "The grid coordinates do not fit the values: nothing to map.";
    if (s.count == 0) return "Empty map: no values.";
    if (s.finite == 0) return "No finite value: nothing to map.";
    std::string note;
    if (s.finite < s.count) {
        note = countText(s.count - s.finite) + " of " + countText(s.count) + " values are not finite (hatched). ";
    }
    if (s.lo == s.hi) {
        if (s.lo == 0) {
            note += s.finite < s.count ? "The others are zero." : "Every value is zero.";
        } else {
            note += (s.finite < s.count ? "The others are " : "Constant map: every value is ") + withUnit(s.lo, map.unit) + ".";
        }
    }
    while (!note.empty() && note.back() == ' ') note.pop_back();
    return note;
}

Image drawMap(const MapPicture& map, ImageFormat format) { return MapDrawing(map).draw(format); }

std::vector<Image> drawMap(const MapPicture& map, const std::vector<ImageFormat>& formats) {
    const MapDrawing drawing(map);
    std::vector<Image> images;
    for (ImageFormat format : formats) images.push_back(drawing.draw(format));
    return images;
}

}  // namespace vl::pictures
