// Reading input text files item by item, as the program's inputs are written.
//
// Every read starts on a new line; items end at a blank, a tab, a comma, a slash or
// the end of the line; lines holding no item are skipped while an item is looked for;
// what follows the last item wanted on a line is ignored; a text item is one word, or
// the text between quotes. A comma right after another comma (or at the start of a
// line) is a null item, which leaves its target unchanged; a slash ends the read and
// leaves the remaining targets unchanged. Fixed-width text reads take the next line's
// first w characters, blank-padded. CR LF line ends read like LF.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

struct FreeItem {
    enum class Kind { Value, Null };
    Kind kind = Kind::Value;
    std::string text;  // without quotes
    bool quoted = false;
};

struct SplitLine {
    std::vector<FreeItem> items;
    bool slash = false;  // a slash ended the line's items
};

// The items of one line.
SplitLine splitItems(std::string_view line);

// Number syntax: [sign] digits [. digits] [e|E|d|D [sign] digits] (at least one digit
// before the exponent); nothing else, no inf or nan.
std::optional<double> parseReal(std::string_view item);
std::optional<long long> parseInteger(std::string_view item);

// First free-format item of a text (the form's fields): nullopt when the text holds no
// item, starts with a null item or a slash, or (for numbers) the item is not a number.
std::optional<double> firstReal(std::string_view text);
std::optional<std::string> firstText(std::string_view text);

class InputFile;

// Where readers say what they read but cannot use (standard error by default): a table
// with more values than its counts, whose numbers may therefore be shifted.
using ReadWarningSink = std::function<void(const std::string& text)>;
void setReadWarningSink(ReadWarningSink sink);
void readWarning(const std::string& text);

// When the file holds items after the last value a table's counts call for: a warning
// naming the file and the line ("holds COUNTS"), nothing else changes.
void warnLeftOverValues(const InputFile& file, const std::string& counts);

// No input of the program comes near this size; a larger file is refused before it is read.
inline constexpr std::size_t kMaxInputBytes = std::size_t{64} * 1024 * 1024;

// The lines of a regular file of at most kMaxInputBytes, read as InputFile reads them;
// nullopt for anything else. Nothing is created.
std::optional<std::vector<std::string>> peekInputLines(const std::string& name);

// One free-format read of several items, possibly over several lines. A name given
// with an item ("the road width") goes into the message when the item cannot be read.
class ListRead {
public:
    explicit ListRead(InputFile& file);
    void real(double& target, std::string_view name = {});
    void integer(int& target, std::string_view name = {});
    // A text item, cut to maxLength characters.
    void text(std::string& target, std::size_t maxLength, std::string_view name = {});
    // A one-character item (its first character).
    void character(char& target, std::string_view name = {});

private:
    const FreeItem* next(std::string_view what);
    InputFile& file_;
    SplitLine current_;
    std::size_t position_ = 0;
    bool haveLine_ = false;
    bool ended_ = false;
};

// The text of an item as a message quotes it: between double quotes, cut to 40 characters.
std::string quotedItem(const FreeItem& item);

class InputFile {
public:
    // Reads the file whole. A missing file named without a folder is created empty (its
    // first read fails, and the message says that the file did not exist); one named with a
    // folder, or a link to nothing, is not created and fails at once. A name that is not a
    // regular file (a directory, a named pipe, a device) and a file larger than
    // kMaxInputBytes are refused before anything is read. Only the first maxLines lines are
    // kept.
    explicit InputFile(std::string name, std::size_t maxLines = std::numeric_limits<std::size_t>::max());
    // Reads the lines of content as if they were the file `name` (nothing is opened).
    InputFile(std::string name, std::string_view content);
    const std::string& name() const { return name_; }
    bool createdEmpty() const { return created_; }

    // One-item reads, each starting on a new line.
    double readReal();
    int readInteger();
    std::string readText(std::size_t maxLength);
    // The next line, whatever it holds, cut or padded to width characters.
    std::string readFixedText(std::size_t width);
    // The next raw line (no CR); nullopt at the end of the file.
    std::optional<std::string> nextLine();
    // 1-based number of the last line taken.
    std::size_t lineNumber() const { return next_; }
    bool atEnd() const { return next_ >= lines_.size(); }
    // The 1-based number of the first line after the last one taken that holds an item:
    // values a table's counts leave over. nullopt when there is none.
    std::optional<std::size_t> nextLineWithItems() const;

    // A read error on the last line taken: "line N: expected WHAT, found FOUND".
    [[noreturn]] void fail(std::string_view expected, std::string_view found) const;
    // The end of the file where WHAT was expected: "line N: expected WHAT, found the end of
    // the file", N the first line that is not there.
    [[noreturn]] void failAtEnd(std::string_view expected) const;
    // Any other failure of the file (it cannot be opened, it is a directory).
    [[noreturn]] void fail(std::string_view kind) const;

private:
    [[noreturn]] void stop(std::string text) const;
    std::string name_;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    bool created_ = false;
};

}  // namespace vl
