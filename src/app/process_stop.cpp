#include "app/process_stop.hpp"

#include "core/roadlighting/column_workers.hpp"
#include "writers/streams.hpp"

namespace vl {

void stopWithConsoleMessage(std::string_view text) {
    if (claimColumnStop()) consoleText(text);
    throw ProcessStop{1, {}, std::string(text)};
}

void stopWithFileError(std::string_view fileName, std::string_view kind) {
    std::string message = "vesperluminal: file \"";
    message += fileName;
    message += "\": ";
    message += kind;
    // What was read may hold any bytes: no control characters reach the terminal.
    for (char& c : message) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    throw ProcessStop{2, message, {}};
}

void stopQuietly() { throw ProcessStop{0, {}, {}}; }

}  // namespace vl
