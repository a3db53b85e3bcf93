#include "readers/text_input.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <sstream>

#include "readers/read_error.hpp"

namespace vl {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

SplitLine splitItems(std::string_view line) {
    SplitLine result;
    std::size_t k = 0;
    const std::size_t n = line.size();
    bool expectItem = true;  // at line start or after a comma
    while (k < n) {
        while (k < n && isBlank(line[k])) ++k;
        if (k >= n) break;
        const char c = line[k];
        if (c == '/') {
            result.slash = true;
            break;
        }
        if (c == ',') {
            if (expectItem) result.items.push_back({FreeItem::Kind::Null, {}, false});
            expectItem = true;
            ++k;
            continue;
        }
        FreeItem item;
        if (c == '\'' || c == '"') {
            const char quote = c;
            item.quoted = true;
            ++k;
            while (k < n) {
                if (line[k] == quote) {
                    if (k + 1 < n && line[k + 1] == quote) {
                        item.text += quote;
                        k += 2;
                        continue;
                    }
                    ++k;
                    break;
                }
                item.text += line[k];
                ++k;
            }
        } else {
            const std::size_t from = k;
            while (k < n && !isBlank(line[k]) && line[k] != ',' && line[k] != '/') ++k;
            item.text.assign(line.substr(from, k - from));
        }
        result.items.push_back(std::move(item));
        // The separator after an item: blanks, then at most one comma; a further
        // comma before the next item is a null item.
        while (k < n && isBlank(line[k])) ++k;
        expectItem = false;
        if (k < n && line[k] == ',') {
            ++k;
            expectItem = true;
        }
    }
    return result;
}

std::optional<double> parseReal(std::string_view item) {
    std::size_t k = 0;
    const std::size_t n = item.size();
    std::string normal;
    if (k < n && (item[k] == '+' || item[k] == '-')) {
        if (item[k] == '-') normal += '-';
        ++k;
    }
    std::size_t digits = 0;
    while (k < n && std::isdigit(static_cast<unsigned char>(item[k]))) {
        normal += item[k++];
        ++digits;
    }
    if (k < n && item[k] == '.') {
        normal += item[k++];
        while (k < n && std::isdigit(static_cast<unsigned char>(item[k]))) {
            normal += item[k++];
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (k < n && (item[k] == 'e' || item[k] == 'E' || item[k] == 'd' || item[k] == 'D')) {
        normal += 'e';
        ++k;
        if (k < n && (item[k] == '+' || item[k] == '-')) normal += item[k++];
        std::size_t expDigits = 0;
        while (k < n && std::isdigit(static_cast<unsigned char>(item[k]))) {
            normal += item[k++];
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (k != n) return std::nullopt;
    double value = 0;
    auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Below the smallest double the value is zero; beyond the largest it is unreadable.
        const auto e = normal.find('e');
        if (e != std::string::npos && e + 1 < normal.size() && normal[e + 1] == '-') {
            return normal[0] == '-' ? -0.0 : 0.0;
        }
        return std::nullopt;
    }
    if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view item) {
    // [sign] digits, nothing else.
    std::size_t k = 0;
    const bool negative = !item.empty() && item[0] == '-';
    if (!item.empty() && (item[0] == '+' || item[0] == '-')) k = 1;
    if (k >= item.size()) return std::nullopt;
    for (std::size_t p = k; p < item.size(); ++p) {
        if (!std::isdigit(static_cast<unsigned char>(item[p]))) return std::nullopt;
    }
    long long value = 0;
    auto result = std::from_chars(item.data() + k, item.data() + item.size(), value);
    if (result.ec != std::errc() || result.ptr != item.data() + item.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
    return value;
}

std::optional<double> firstReal(std::string_view text) {
    SplitLine split = splitItems(text);
    if (split.items.empty() || split.items[0].kind == FreeItem::Kind::Null) return std::nullopt;
    if (split.items[0].quoted) return std::nullopt;
    return parseReal(split.items[0].text);
}

std::optional<std::string> firstText(std::string_view text) {
    SplitLine split = splitItems(text);
    if (split.items.empty() || split.items[0].kind == FreeItem::Kind::Null) return std::nullopt;
    return split.items[0].text;
}

std::string quotedItem(const FreeItem& item) {
    std::string text = "\"" + item.text.substr(0, 40) + "\"";
    if (item.quoted) text = "the quoted text " + text;
    return text;
}

namespace {

// What a name that is not a regular file stands for, as the messages say it.
std::string fileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string tooLarge(std::uintmax_t size) {
    return "holds " + std::to_string(size) + " bytes, more than any input of this program (" +
           std::to_string(kMaxInputBytes / (1024 * 1024)) + " MiB): it was not read";
}

enum class Opened { Read, Missing, Refused };

// Reads a regular file of at most kMaxInputBytes whole; anything else is refused with
// what it is (a named pipe is never opened, so nothing waits on it).
Opened readRegularFile(const std::string& name, std::string& bytes, std::string& refusal) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        if (errno == ENOENT) return Opened::Missing;
        refusal = std::string("cannot be opened: ") + std::strerror(errno);
        return Opened::Refused;
    }
    if (!S_ISREG(info.st_mode)) {
        refusal = "is " + fileKind(info.st_mode) + ", not a file";
        return Opened::Refused;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxInputBytes) {
        refusal = tooLarge(static_cast<std::uintmax_t>(info.st_size));
        return Opened::Refused;
    }
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        refusal = "cannot be opened";
        return Opened::Refused;
    }
    // The name may have been replaced since the look above: the open file itself decides.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        refusal = "is " + fileKind(info.st_mode) + ", not a file";
        return Opened::Refused;
    }
    bytes.clear();
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            refusal = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return Opened::Refused;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxInputBytes) {  // a file that grows while it is read
            refusal = tooLarge(bytes.size());
            ::close(fd);
            return Opened::Refused;
        }
    }
    ::close(fd);
    return Opened::Read;
}

std::vector<std::string> splitLines(const std::string& bytes,
                                    std::size_t maxLines = std::numeric_limits<std::size_t>::max()) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size() && lines.size() < maxLines) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

namespace {

ReadWarningSink& warningSink() {
    static ReadWarningSink sink;
    return sink;
}

}  // namespace

void setReadWarningSink(ReadWarningSink sink) { warningSink() = std::move(sink); }

void readWarning(const std::string& text) {
    if (warningSink()) {
        warningSink()(text);
    } else {
        std::cerr << "vesperluminal: warning: " << text << '\n' << std::flush;
    }
}

void warnLeftOverValues(const InputFile& file, const std::string& counts) {
    const auto line = file.nextLineWithItems();
    if (!line) return;
    readWarning("file \"" + file.name() + "\": line " + std::to_string(*line) +
                ": the table holds more values than its counts call for (" + counts +
                "): values are left over from this line on, and those read may be shifted");
}

std::optional<std::vector<std::string>> peekInputLines(const std::string& name) {
    std::string bytes;
    std::string refusal;
    if (readRegularFile(name, bytes, refusal) != Opened::Read) return std::nullopt;
    return splitLines(bytes);
}

InputFile::InputFile(std::string name, std::size_t maxLines) : name_(std::move(name)) {
    std::string bytes;
    std::string refusal;
    Opened opened = readRegularFile(name_, bytes, refusal);
    if (opened == Opened::Missing) {
        struct stat link {};
        if (::lstat(name_.c_str(), &link) == 0) fail("is a symbolic link to a file that does not exist");
        // A missing input is created empty only in the working folder, never through a path.
        if (name_.find('/') != std::string::npos) fail("does not exist");
        const int fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            created_ = true;
        }
        opened = readRegularFile(name_, bytes, refusal);
        if (opened == Opened::Missing) fail("cannot be opened");
    }
    if (opened == Opened::Refused) fail(refusal);
    lines_ = splitLines(bytes, maxLines);
}

std::optional<std::size_t> InputFile::nextLineWithItems() const {
    for (std::size_t k = next_; k < lines_.size(); ++k) {
        if (!splitItems(lines_[k]).items.empty()) return k + 1;
    }
    return std::nullopt;
}

InputFile::InputFile(std::string name, std::string_view content) : name_(std::move(name)) {
    std::istringstream in{std::string(content)};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
    }
}

void InputFile::stop(std::string text) const {
    if (created_) {
        text = "did not exist, so an empty file of that name now stands in its place; " + text;
    }
    throw ReadError(name_, text);
}

void InputFile::fail(std::string_view expected, std::string_view found) const {
    const std::size_t line = std::max<std::size_t>(next_, 1);
    stop("line " + std::to_string(line) + ": expected " + std::string(expected) + ", found " + std::string(found));
}

void InputFile::failAtEnd(std::string_view expected) const {
    std::string text = "line " + std::to_string(lines_.size() + 1) + ": expected " + std::string(expected) +
                       ", found the end of the file";
    text += lines_.empty() ? " (the file is empty)"
                           : " (the file has " + std::to_string(lines_.size()) +
                                 (lines_.size() == 1 ? " line)" : " lines)");
    stop(text);
}

void InputFile::fail(std::string_view kind) const { stop(std::string(kind)); }

std::optional<std::string> InputFile::nextLine() {
    if (next_ >= lines_.size()) return std::nullopt;
    return lines_[next_++];
}

std::string InputFile::readFixedText(std::size_t width) {
    auto line = nextLine();
    if (!line) failAtEnd("a line of text");
    std::string text = line->substr(0, std::min(width, line->size()));
    text.resize(width, ' ');
    return text;
}

double InputFile::readReal() {
    double value = 0;
    ListRead(*this).real(value);
    return value;
}

int InputFile::readInteger() {
    int value = 0;
    ListRead(*this).integer(value);
    return value;
}

std::string InputFile::readText(std::size_t maxLength) {
    std::string value;
    ListRead(*this).text(value, maxLength);
    return value;
}

ListRead::ListRead(InputFile& file) : file_(file) {}

const FreeItem* ListRead::next(std::string_view what) {
    if (ended_) return nullptr;
    while (!haveLine_ || position_ >= current_.items.size()) {
        if (haveLine_ && current_.slash) {
            ended_ = true;
            return nullptr;
        }
        auto line = file_.nextLine();
        if (!line) file_.failAtEnd(what);
        current_ = splitItems(*line);
        position_ = 0;
        haveLine_ = true;
        if (current_.items.empty() && current_.slash) {
            ended_ = true;
            return nullptr;
        }
    }
    const FreeItem* item = &current_.items[position_++];
    if (item->kind == FreeItem::Kind::Null) return nullptr;
    return item;
}

namespace {

// "a number", or "the road width (a number)" when the item has a name.
std::string expectation(std::string_view kind, std::string_view name) {
    if (name.empty()) return std::string(kind);
    return std::string(name) + " (" + std::string(kind) + ")";
}

}  // namespace

void ListRead::real(double& target, std::string_view name) {
    const std::string what = expectation("a number", name);
    const FreeItem* item = next(what);
    if (!item) return;
    auto value = item->quoted ? std::nullopt : parseReal(item->text);
    if (!value) file_.fail(what, quotedItem(*item));
    target = *value;
}

void ListRead::integer(int& target, std::string_view name) {
    const std::string what = expectation("an integer", name);
    const FreeItem* item = next(what);
    if (!item) return;
    auto value = item->quoted ? std::nullopt : parseInteger(item->text);
    if (!value) file_.fail(what, quotedItem(*item));
    target = static_cast<int>(*value);
}

void ListRead::text(std::string& target, std::size_t maxLength, std::string_view name) {
    const FreeItem* item = next(expectation("a text", name));
    if (!item) return;
    target = item->text.substr(0, std::min(maxLength, item->text.size()));
}

void ListRead::character(char& target, std::string_view name) {
    const FreeItem* item = next(expectation("a character", name));
    if (!item) return;
    target = item->text.empty() ? ' ' : item->text[0];
}

}  // namespace vl
