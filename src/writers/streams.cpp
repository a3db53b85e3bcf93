#include "writers/streams.hpp"

#include <cstdio>
#include <iostream>
#include <utility>

#include "writers/format.hpp"

namespace vl {

void OutputFile::create(const std::string& name) {
    close();
    name_ = name;
    out_.open(name, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out_.is_open()) throw WriteError(name, "cannot be created");
}

void OutputFile::writeLine(std::string_view line) {
    if (!out_.is_open()) return;
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.put('\n');
    if (!out_) throw WriteError(name_, "write failed");
}

void OutputFile::close() {
    if (out_.is_open()) {
        out_.close();
    }
}

namespace {

ConsoleSink& sink() {
    static ConsoleSink instance;
    return instance;
}

ConsolePause& pause() {
    static ConsolePause instance;
    return instance;
}

}  // namespace

void setConsoleSink(ConsoleSink s) { sink() = std::move(s); }
void setConsolePause(ConsolePause p) { pause() = std::move(p); }

void consolePause() {
    if (pause()) {
        pause()();
        return;
    }
    std::string ignored;
    std::getline(std::cin, ignored);  // end of input continues at once
    std::cin.clear();
}

OutputFile& reportFile() {
    static OutputFile file;
    return file;
}

OutputFile& dataFile() {
    static OutputFile file;
    return file;
}

void writeLine(Stream stream, std::string_view line) {
    switch (stream) {
        case Stream::Console:
            if (sink()) {
                sink()(line);
            } else {
                std::cout << line << '\n';
            }
            break;
        case Stream::Report:
            reportFile().writeLine(line);
            break;
        case Stream::Data:
            dataFile().writeLine(line);
            break;
    }
}

void toConsoleAndReport(std::string_view line) {
    writeLine(Stream::Console, line);
    writeLine(Stream::Report, line);
}

void listText(Stream stream, std::string_view text) { writeLine(stream, fmt::listText(text)); }

std::string separator(Stream stream) { return fmt::repeat('-', stream == Stream::Report ? 64 : 54); }

void sectionHeading(Stream stream, std::string_view title) {
    listText(stream, "    ");
    listText(stream, separator(stream));
    listText(stream, title);
    listText(stream, "    ");
}

}  // namespace vl
