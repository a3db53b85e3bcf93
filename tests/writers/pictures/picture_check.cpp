#include "writers/pictures/picture_check.hpp"

#include <cairo.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <tuple>

#include "writers/pictures/image.hpp"

namespace vl::pictures::test {

namespace {

struct Reader {
    const std::string* bytes;
    std::size_t offset = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (r->offset + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->bytes->data() + r->offset, length);
    r->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::optional<Pixels> decodePng(const std::string& bytes) {
    Reader reader{&bytes};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readBytes, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    Pixels p;
    p.width = cairo_image_surface_get_width(surface);
    p.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 4);
            p.rgb.push_back({((word >> 16) & 0xff) / 255.0, ((word >> 8) & 0xff) / 255.0, (word & 0xff) / 255.0});
        }
    }
    cairo_surface_destroy(surface);
    return p;
}

int viridisIndex(const Rgb& c, double tolerance) {
    // Pictures hold few distinct colours: each is looked up once.
    thread_local std::map<std::tuple<double, double, double, double>, int> known;
    const auto key = std::make_tuple(c.r, c.g, c.b, tolerance);
    if (const auto it = known.find(key); it != known.end()) return it->second;
    int best = -1;
    double bestDistance = tolerance;
    const auto table = viridisTable();
    for (std::size_t k = 0; k < table.size(); ++k) {
        const double d = std::max({std::fabs(c.r - table[k][0]), std::fabs(c.g - table[k][1]), std::fabs(c.b - table[k][2])});
        if (d <= bestDistance) {
            bestDistance = d;
            best = static_cast<int>(k);
        }
    }
    known.emplace(key, best);
    return best;
}

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool toolMissing(const std::string& tool) { return runCommand("command -v " + tool).status != 0; }

namespace {

// The system's interpreter when there is one: version-manager shims take a second to start.
std::string python() { return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

}  // namespace

std::optional<SvgTexts> svgTexts(const std::filesystem::path& file) {
    const CommandResult r = runCommand(python() + " " VL_PICTURE_SCRIPTS_DIR "/svg_text.py '" + file.string() + "'");
    if (r.status != 0) return std::nullopt;
    SvgTexts texts;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) texts.emplace(line.substr(0, tab), line.substr(tab + 1));
    }
    return texts;
}

std::optional<SvgTexts> svgTexts(const Image& svg) {
    TempFolder folder;
    const auto file = folder.path() / "picture.svg";
    writeBytes(svg.bytes, file);
    return svgTexts(file);
}

std::vector<std::string> textsOf(const SvgTexts& texts, const std::string& role) {
    std::vector<std::string> out;
    const auto [from, to] = texts.equal_range(role);
    for (auto it = from; it != to; ++it) out.push_back(it->second);
    return out;
}

TempFolder::TempFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vl_pictures_test_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace vl::pictures::test
