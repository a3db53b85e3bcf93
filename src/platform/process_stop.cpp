#include "platform/process_stop.hpp"

#include "output/streams.hpp"

namespace vl {

void stopWithConsoleMessage(std::string_view text) {
    consoleText(text);
    throw ProcessStop{1, {}, std::string(text)};
}

void stopWithFileError(std::string_view fileName, std::string_view kind) {
    std::string message = "vesperluminal: file \"";
    message += fileName;
    message += "\": ";
    message += kind;
    throw ProcessStop{2, message, {}};
}

void stopQuietly() { throw ProcessStop{0, {}, {}}; }

}  // namespace vl
