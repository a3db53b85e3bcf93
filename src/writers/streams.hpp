// The three text streams of a run: Console, ReportFile and DataFile.
//
// The Console is standard output unless a terminal form redirects it to its pane; on a
// terminal its lines are shown through terminalSafe. Every line written goes through
// writeLine; list lines are built with fmt::ListLine.
#pragma once

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

// "write failed: " and what the system says (errno), for a WriteError's kind.
std::string writeFailure(int error);

// A text file created or replaced when opened; a failure names the file. It is never
// opened through a symbolic link. Every write and the close are checked: a failure (a
// full disk) is a WriteError, so no run ends as a success with a file cut short.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // closes without a check: an explicit close() reports failures
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    void create(const std::string& name);  // a WriteError when it cannot be created
    bool isOpen() const { return fd_ >= 0; }
    void writeLine(std::string_view line);
    void write(std::string_view bytes);
    // Writes what is buffered and closes the file; a WriteError when that fails.
    void close();
    const std::string& name() const { return name_; }

private:
    void flush();
    int fd_ = -1;
    std::string buffer_;
    std::string name_;
};

// Closes the run's report and data files where they are open (see OutputFile::close).
void closeRunFiles();

// Checks that standard output took every Console line: a WriteError naming it when not.
void flushStandardOutput();

// The text as a terminal may show it: control bytes (C0, DEL, C1, also as UTF-8) become
// "?", so that no byte of an input file can move the cursor or retitle the window.
std::string terminalSafe(std::string_view text);

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
