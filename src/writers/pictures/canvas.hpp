// One drawing surface for both picture formats: the shapes go through cairo (an image
// surface for PNG, a vector surface for SVG); text is drawn by cairo in PNG and written as
// text elements in SVG, so that the SVG text can be searched, selected and read aloud.
// In SVG every text lies above the shapes.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "writers/pictures/colour_map.hpp"
#include "writers/pictures/image.hpp"

namespace vl::pictures {

inline constexpr const char* kFontFamily = "DejaVu Sans";

enum class Align { Left, Centre, Right };

struct TextStyle {
    double size = 12;
    bool bold = false;
    Rgb colour{0.1, 0.1, 0.1};
    Align align = Align::Left;
    bool middle = false;   // y is the middle of the digits, not the baseline
    bool halo = false;     // a white outline keeps the text readable over colour and lines
    double angle = 0;      // radians, clockwise on the page
    std::string role;      // class attribute of the SVG text element
};

class Canvas {
public:
    Canvas(int width, int height, ImageFormat format);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    ImageFormat format() const { return format_; }

    // Advance width of the text in the style's font.
    double textWidth(std::string_view text, double size, bool bold = false) const;
    void text(double x, double y, std::string_view text, const TextStyle& style);

    void setColour(const Rgb& colour, double alpha = 1.0) const;

    // Paints pixels (0x00RRGGBB words, width x height) at (x, y), one device unit a pixel;
    // in SVG they are embedded as a PNG made by the fast encoder.
    void paintPixels(const std::vector<std::uint32_t>& pixels, int width, int height, double x, double y);

    // Ends the drawing and returns the encoded picture.
    Image finish();

private:
    void selectFont(double size, bool bold) const;

    ImageFormat format_;
    int width_;
    int height_;
    std::string svg_;
    std::vector<std::string> svgText_;
    std::deque<std::string> embedded_;  // PNG data attached to image sources until the end
    std::vector<unsigned char> pixels_;  // the PNG surface's memory, from the thread's pool
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
};

// Offset of the baseline below the middle of the digits, as a fraction of the font size.
inline constexpr double kMiddleToBaseline = 0.36;

}  // namespace vl::pictures
