#include "writers/pictures/canvas.hpp"

#include <cairo-svg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <stdexcept>

#include "writers/pictures/markup.hpp"
#include "writers/pictures/png_encoder.hpp"

namespace vl::pictures {

namespace {

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

// Pixel memory of finished canvases, kept by the thread for the next one: fresh pages
// cost more than drawing into them.
std::vector<std::vector<unsigned char>>& pixelPool() {
    thread_local std::vector<std::vector<unsigned char>> pool;
    return pool;
}

std::string rgbText(const Rgb& c) {
    auto channel = [](double v) { return std::to_string(static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255))); };
    return "rgb(" + channel(c.r) + "," + channel(c.g) + "," + channel(c.b) + ")";
}

}  // namespace

Canvas::Canvas(int width, int height, ImageFormat format) : format_(format), width_(width), height_(height) {
    if (format == ImageFormat::Png) {
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
        auto& pool = pixelPool();
        if (!pool.empty()) {
            pixels_ = std::move(pool.back());
            pool.pop_back();
        }
        pixels_.resize(static_cast<std::size_t>(std::max(stride, 0)) * static_cast<std::size_t>(std::max(height, 0)));
        surface_ = cairo_image_surface_create_for_data(pixels_.data(), CAIRO_FORMAT_RGB24, width, height, stride);
    } else {
        surface_ = cairo_svg_surface_create_for_stream(appendToString, &svg_, width, height);
        cairo_svg_surface_restrict_to_version(surface_, CAIRO_SVG_VERSION_1_1);
    }
    cr_ = cairo_create(surface_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
        const std::string reason = cairo_status_to_string(cairo_status(cr_));
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
        cr_ = nullptr;
        surface_ = nullptr;
        throw std::runtime_error("pictures: cannot draw (" + reason + ")");
    }
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
}

Canvas::~Canvas() {
    if (cr_ != nullptr) cairo_destroy(cr_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    if (!pixels_.empty() && pixelPool().size() < 4) pixelPool().push_back(std::move(pixels_));
}

void Canvas::selectFont(double size, bool bold) const {
    // The two faces are made once and kept for the life of the process: cairo drops a
    // font pattern each time a face is made anew and let go.
    static cairo_font_face_t* const regular =
        cairo_toy_font_face_create(kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    static cairo_font_face_t* const heavy = cairo_toy_font_face_create(kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_face(cr_, bold ? heavy : regular);
    cairo_set_font_size(cr_, size);
}

double Canvas::textWidth(std::string_view text, double size, bool bold) const {
    selectFont(size, bold);
    const std::string s(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, s.c_str(), &extents);
    return extents.x_advance;
}

void Canvas::setColour(const Rgb& colour, double alpha) const {
    cairo_set_source_rgba(cr_, colour.r, colour.g, colour.b, alpha);
}

void Canvas::paintPixels(const std::vector<std::uint32_t>& pixels, int width, int height, double x, double y) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(image));
    if (data != nullptr) {
        for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
            std::memcpy(data + row * stride, pixels.data() + row * static_cast<std::size_t>(width), 4 * static_cast<std::size_t>(width));
        }
        cairo_surface_mark_dirty(image);
        if (format_ == ImageFormat::Svg) {
            const std::string& png = embedded_.emplace_back(encodePng(data, width, height, static_cast<int>(stride)));
            cairo_surface_set_mime_data(image, CAIRO_MIME_TYPE_PNG, reinterpret_cast<const unsigned char*>(png.data()),
                                        png.size(), nullptr, nullptr);
        }
        cairo_set_source_surface(cr_, image, x, y);
        cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
        cairo_paint(cr_);
    }
    cairo_surface_destroy(image);
}

void Canvas::text(double x, double y, std::string_view text, const TextStyle& style) {
    if (text.empty()) return;
    const double dy = style.middle ? kMiddleToBaseline * style.size : 0.0;
    if (format_ == ImageFormat::Svg) {
        std::string element = "<text";
        if (!style.role.empty()) element += " class=\"" + escapeMarkup(style.role) + "\"";
        element += " transform=\"translate(" + number(x) + " " + number(y) + ")";
        if (style.angle != 0) element += " rotate(" + number(style.angle * 180 / std::numbers::pi) + ")";
        element += "\" y=\"" + number(dy) + "\" font-size=\"" + number(style.size) + "\"";
        if (style.bold) element += " font-weight=\"bold\"";
        if (style.align == Align::Centre) element += " text-anchor=\"middle\"";
        if (style.align == Align::Right) element += " text-anchor=\"end\"";
        element += " fill=\"" + rgbText(style.colour) + "\"";
        if (style.halo) {
            element += " stroke=\"#fff\" stroke-width=\"" + number(0.28 * style.size) +
                       "\" stroke-linejoin=\"round\" paint-order=\"stroke\"";
        }
        element += ">" + escapeMarkup(text) + "</text>";
        svgText_.push_back(std::move(element));
        return;
    }
    const double width = textWidth(text, style.size, style.bold);
    const double dx = style.align == Align::Left ? 0.0 : style.align == Align::Centre ? -width / 2 : -width;
    const std::string s(text);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, style.angle);
    cairo_move_to(cr_, dx, dy);
    cairo_text_path(cr_, s.c_str());
    if (style.halo) {
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_set_line_width(cr_, 0.28 * style.size);
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr_);
    }
    setColour(style.colour);
    cairo_fill(cr_);
    cairo_restore(cr_);
}

Image Canvas::finish() {
    Image image;
    image.format = format_;
    image.width = width_;
    image.height = height_;
    cairo_destroy(cr_);
    cr_ = nullptr;
    if (format_ == ImageFormat::Png) {
        cairo_surface_flush(surface_);
        image.bytes = encodePng(cairo_image_surface_get_data(surface_), width_, height_, cairo_image_surface_get_stride(surface_));
    } else {
        cairo_surface_finish(surface_);
        const cairo_status_t status = cairo_surface_status(surface_);
        if (status != CAIRO_STATUS_SUCCESS) {
            throw std::runtime_error(std::string("pictures: SVG drawing failed (") + cairo_status_to_string(status) + ")");
        }
        std::string layer = "<g font-family=\"DejaVu Sans, Verdana, sans-serif\" xml:space=\"preserve\">\n";
        for (const std::string& element : svgText_) layer += element + "\n";
        layer += "</g>\n";
        const std::size_t end = svg_.rfind("</svg>");
        if (end == std::string::npos) throw std::runtime_error("pictures: SVG drawing has no end tag");
        svg_.insert(end, layer);
        image.bytes = std::move(svg_);
    }
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    return image;
}

}  // namespace vl::pictures
