// Reading back what the pictures hold: PNG pixels through cairo, SVG through python3's
// XML parser (tests that need it are skipped with a message where python3 is missing).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "writers/pictures/colour_map.hpp"
#include "writers/pictures/image.hpp"

namespace vl::pictures::test {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Rgb> rgb;  // row by row
    const Rgb& at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};
// Decodes a PNG; nullopt when it is not one.
std::optional<Pixels> decodePng(const std::string& bytes);

// The viridis entry nearest to a colour when it lies within tolerance of one, else -1.
int viridisIndex(const Rgb& colour, double tolerance = 0.02);

// The texts of an SVG by class, and its "#path" and "#image" counts; nullopt when the file
// does not parse. Needs python3: toolMissing() says so.
using SvgTexts = std::multimap<std::string, std::string>;
std::optional<SvgTexts> svgTexts(const std::filesystem::path& file);
std::optional<SvgTexts> svgTexts(const Image& svg);
bool toolMissing(const std::string& tool);
std::vector<std::string> textsOf(const SvgTexts& texts, const std::string& role);

// A fresh temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Output of a shell command (standard error dropped) and its exit status.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult runCommand(const std::string& command);

}  // namespace vl::pictures::test
