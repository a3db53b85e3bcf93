// index.html of a run's pictures: a plain page that reads offline and prints well (no
// script, no web font, nothing from the network), built from a plain description.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vl::pictures {

struct KeyFigure {
    std::string name;
    std::string value;  // as the caller formats it
    std::string unit;
};

struct PagePicture {
    std::string file;        // PNG file name relative to the page
    std::string caption;
    int width = 0;           // pixels, 0 when not known
    int height = 0;
    std::string vectorFile;  // SVG of the same picture, linked from the image; may be empty
};

struct PageTable {
    std::string caption;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

struct IndexPage {
    std::string title;
    std::vector<std::string> installation;  // one line each
    std::vector<KeyFigure> keyFigures;
    std::vector<PagePicture> pictures;
    std::optional<PageTable> extraTable;
};

// The page as UTF-8 HTML; every text is escaped.
std::string renderIndexPage(const IndexPage& page);

// Writes the page to the file; throws PictureFileError naming it.
void writeIndexPage(const IndexPage& page, const std::filesystem::path& file);

}  // namespace vl::pictures
