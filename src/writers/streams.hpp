// The three text streams of a run: Console, ReportFile and DataFile.
//
// The Console is standard output unless a terminal form redirects it to its pane.
// Every line written goes through writeLine; list lines are built with fmt::ListLine.
#pragma once

#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vl {

enum class Stream { Console, Report, Data };

// An output file that cannot be created or written: the run stops naming the file.
class WriteError : public std::runtime_error {
public:
    WriteError(std::string fileName, std::string kind)
        : std::runtime_error("file \"" + fileName + "\": " + kind), fileName_(std::move(fileName)), kind_(std::move(kind)) {}
    const std::string& fileName() const { return fileName_; }
    const std::string& kind() const { return kind_; }

private:
    std::string fileName_;
    std::string kind_;
};

// A text file created or replaced when opened; a failure names the file.
class OutputFile {
public:
    OutputFile() = default;
    void create(const std::string& name);  // a WriteError when it cannot be created
    bool isOpen() const { return out_.is_open(); }
    void writeLine(std::string_view line);
    void close();
    const std::string& name() const { return name_; }

private:
    std::ofstream out_;
    std::string name_;
};

// Where Console lines go (standard output by default).
using ConsoleSink = std::function<void(std::string_view line)>;
void setConsoleSink(ConsoleSink sink);
// How the "Bad XA input." pause waits for Enter (by default: one line of standard input;
// the end of input continues at once).
using ConsolePause = std::function<void()>;
void setConsolePause(ConsolePause pause);
void consolePause();

// The run's report and data files (opened by openOutputFiles).
OutputFile& reportFile();
OutputFile& dataFile();

void writeLine(Stream stream, std::string_view line);
// A list line with one text item.
void listText(Stream stream, std::string_view text);
inline void consoleText(std::string_view text) { listText(Stream::Console, text); }

// One line on the Console, then the same line in the report.
void toConsoleAndReport(std::string_view line);

// 54 dashes on the Console and in the DataFile, 64 in the ReportFile.
std::string separator(Stream stream);

// "    ", separator, title, "    ".
void sectionHeading(Stream stream, std::string_view title);

}  // namespace vl
