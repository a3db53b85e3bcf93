#include "writers/pictures/index_page.hpp"

#include "writers/pictures/image.hpp"
#include "writers/pictures/markup.hpp"

namespace vl::pictures {

namespace {

constexpr const char* kStyle = R"(body { font-family: "DejaVu Sans", Verdana, sans-serif; color: #222; background: #fff;
       max-width: 1100px; margin: 1.5em auto; padding: 0 1em; line-height: 1.4; }
h1 { font-size: 1.5em; margin-bottom: 0.3em; }
h2 { font-size: 1.2em; margin-top: 1.6em; border-bottom: 1px solid #bbb; }
ul.installation { list-style: none; padding: 0; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }
td.value { text-align: right; font-variant-numeric: tabular-nums; }
figure { margin: 1.2em 0; break-inside: avoid; page-break-inside: avoid; }
figure img { max-width: 100%; height: auto; border: 1px solid #ddd; }
figcaption { font-size: 0.95em; color: #444; margin-top: 0.3em; }
@media print { body { max-width: none; margin: 0; } a { color: inherit; text-decoration: none; } }
)";

}  // namespace

std::string renderIndexPage(const IndexPage& page) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    html += "<title>" + escapeMarkup(page.title) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + escapeMarkup(page.title) + "</h1>\n";
    if (!page.installation.empty()) {
        html += "<h2>Installation</h2>\n<ul class=\"installation\">\n";
        for (const std::string& line : page.installation) html += "<li>" + escapeMarkup(line) + "</li>\n";
        html += "</ul>\n";
    }
    if (!page.keyFigures.empty()) {
        html += "<h2>Key figures</h2>\n<table class=\"figures\">\n<tr><th>Figure</th><th>Value</th><th>Unit</th></tr>\n";
        for (const KeyFigure& f : page.keyFigures) {
            html += "<tr><td>" + escapeMarkup(f.name) + "</td><td class=\"value\">" + escapeMarkup(f.value) + "</td><td>" +
                    escapeMarkup(f.unit) + "</td></tr>\n";
        }
        html += "</table>\n";
    }
    if (page.extraTable) {
        const PageTable& t = *page.extraTable;
        html += "<h2>" + escapeMarkup(t.caption) + "</h2>\n<table class=\"extra\">\n";
        if (!t.header.empty()) {
            html += "<tr>";
            for (const std::string& cell : t.header) html += "<th>" + escapeMarkup(cell) + "</th>";
            html += "</tr>\n";
        }
        for (const auto& row : t.rows) {
            html += "<tr>";
            for (const std::string& cell : row) html += "<td>" + escapeMarkup(cell) + "</td>";
            html += "</tr>\n";
        }
        html += "</table>\n";
    }
    if (!page.pictures.empty()) {
        html += "<h2>Pictures</h2>\n";
        for (const PagePicture& p : page.pictures) {
            std::string img = "<img src=\"" + escapeMarkup(encodeFileReference(p.file)) + "\" alt=\"" + escapeMarkup(p.caption) + "\"";
            if (p.width > 0 && p.height > 0) {
                img += " width=\"" + std::to_string(p.width) + "\" height=\"" + std::to_string(p.height) + "\"";
            }
            img += ">";
            if (!p.vectorFile.empty()) {
                img = "<a href=\"" + escapeMarkup(encodeFileReference(p.vectorFile)) + "\">" + img + "</a>";
            }
            html += "<figure>\n" + img + "\n<figcaption>" + escapeMarkup(p.caption);
            if (!p.vectorFile.empty()) html += " (the picture links to its SVG)";
            html += "</figcaption>\n</figure>\n";
        }
    }
    html += "</body>\n</html>\n";
    return html;
}

void writeIndexPage(const IndexPage& page, const std::filesystem::path& file) {
    writeBytes(renderIndexPage(page), file);
}

}  // namespace vl::pictures
