#include "readers/photometry_file.hpp"

#include <cctype>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/text_input.hpp"

namespace vl {

namespace {

constexpr std::size_t kHeadLines = 100;
constexpr std::size_t kHeadBytes = 1 << 16;

bool beginsWithNoCase(std::string_view text, std::string_view prefix) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.size() < prefix.size()) return false;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        if (std::toupper(static_cast<unsigned char>(text[k])) != prefix[k]) return false;
    }
    return true;
}

}  // namespace

PhotometryFormat detectPhotometryFormat(const std::string& fileName) {
    // Only a regular file of bounded size is looked into (a named pipe would block here);
    // anything else goes to the Eulumdat reader, which says what it is.
    const std::optional<std::vector<std::string>> lines = peekInputLines(fileName);
    if (!lines) return PhotometryFormat::Eulumdat;
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < lines->size() && k < kHeadLines && bytes < kHeadBytes; ++k) {
        bytes += (*lines)[k].size() + 1;
        std::string_view text = (*lines)[k];
        if (k == 0) {
            if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
            if (beginsWithNoCase(text, "IESNA") || beginsWithNoCase(text, "IES:")) return PhotometryFormat::Ies;
        }
        if (beginsWithNoCase(text, "TILT=")) return PhotometryFormat::Ies;
    }
    return PhotometryFormat::Eulumdat;
}

PhotometrySize readPhotometryDimensions(const std::string& fileName, double iesRotation) {
    PhotometrySize size;
    size.format = detectPhotometryFormat(fileName);
    size.dimensions = size.format == PhotometryFormat::Ies ? readIesDimensions(fileName, iesRotation)
                                                           : readEulumdatDimensions(fileName);
    return size;
}

void readPhotometryFile(const std::string& fileName, PhotometryFile& file, double iesRotation) {
    file.format = detectPhotometryFormat(fileName);
    if (file.format == PhotometryFormat::Ies) {
        readIes(fileName, file.ies, iesRotation);
    } else {
        readEulumdat(fileName, file.eulumdat);
    }
}

}  // namespace vl
