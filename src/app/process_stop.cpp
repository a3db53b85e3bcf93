#include "app/process_stop.hpp"

#include "readers/read_error.hpp"
#include "writers/streams.hpp"

namespace vl {

void stopWithConsoleMessage(std::string_view text) {
    consoleText(text);
    throw ProcessStop{1, {}, std::string(text)};
}

void stopWithFileError(std::string_view fileName, std::string_view kind) {
    std::string message = "vesperluminal: ";
    if (fileName == "standard output") {
        message += fileName;
    } else {
        message += "file \"";
        message += fileName;
        message += "\"";
    }
    message += ": ";
    message += kind;
    // What was read may hold any bytes: no control characters reach the terminal.
    throw ProcessStop{2, terminalSafe(message), {}};
}

void stopQuietly() { throw ProcessStop{0, {}, {}}; }

void asRunStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const InputRefusal& refusal) {
        stopWithConsoleMessage(refusal.what());
    } catch (const ReadError& error) {
        stopWithFileError(error.fileName(), error.kind());
    } catch (const WriteError& error) {
        stopWithFileError(error.fileName(), error.kind());
    }
}

}  // namespace vl
