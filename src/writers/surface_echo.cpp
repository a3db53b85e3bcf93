#include "writers/surface_echo.hpp"

#include <cstddef>
#include <string>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

void writeSurfaceEcho(const SurfaceTableFile& file) {
    sectionHeading(Stream::Console, "Input surface:");
    sectionHeading(Stream::Report, "Input surface:");
    const auto read = static_cast<std::size_t>(file.titleLinesRead);
    for (std::size_t line = 0; line < 3 && line < read; ++line) toConsoleAndReport(fmt::listText(file.titleLines[line]));
    if (read < 4) return;
    const std::string dataFileLine = fmt::ListLine().text("Data file").text(file.titleLines[3]).str();
    writeLine(Stream::Console, dataFileLine);
    listText(Stream::Console, " ");
    writeLine(Stream::Report, dataFileLine);
    listText(Stream::Report, " ");
}

}  // namespace vl
