#include "writers/streams.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <limits>
#include <utility>

#include "text/format.hpp"

namespace vl {

namespace {

constexpr std::size_t kFileBuffer = 1 << 16;

// Writes all bytes, going on after a signal; the errno of a failure, else 0.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

std::string writeFailure(int error) { return std::string("write failed: ") + std::strerror(error); }

OutputFile::~OutputFile() {
    if (fd_ < 0) return;
    (void)writeAll(fd_, buffer_.data(), buffer_.size());
    ::close(fd_);
}

void OutputFile::create(const std::string& name) {
    close();
    name_ = name;
    buffer_.clear();
    // A symbolic link at the name (left by someone else) is never written through.
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int error = errno;
        if (error == ELOOP) throw WriteError(name, "cannot be created: it is a symbolic link, which is not written through");
        throw WriteError(name, std::string("cannot be created: ") + std::strerror(error));
    }
}

void OutputFile::flush() {
    const int error = writeAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
        throw WriteError(name_, writeFailure(error));
    }
}

void OutputFile::write(std::string_view bytes) {
    if (fd_ < 0) return;
    buffer_.append(bytes);
    if (buffer_.size() >= kFileBuffer) flush();
}

void OutputFile::writeLine(std::string_view line) {
    if (fd_ < 0) return;
    buffer_.append(line);
    buffer_ += '\n';
    if (buffer_.size() >= kFileBuffer) flush();
}

void OutputFile::close() {
    if (fd_ < 0) return;
    flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) throw WriteError(name_, writeFailure(errno));
}

void closeRunFiles() {
    // Both are closed even when the first fails; the first failure is reported.
    std::exception_ptr failure;
    for (OutputFile* file : {&reportFile(), &dataFile()}) {
        try {
            file->close();
        } catch (const WriteError&) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

namespace {

bool standardOutputFailed = false;  // said once: the run stopped on it

}  // namespace

void flushStandardOutput() {
    if (standardOutputFailed) return;
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed) return;
    const int error = errno;
    std::cout.clear();
    std::clearerr(stdout);
    standardOutputFailed = true;
    throw WriteError("standard output", error != 0 ? writeFailure(error) : std::string("write failed"));
}

std::string terminalSafe(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    const std::size_t n = text.size();
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    for (std::size_t k = 0; k < n;) {
        const unsigned char c = byte(k);
        if (c < 0x20 || c == 0x7F) {
            shown += '?';
            ++k;
            continue;
        }
        if (c < 0x80) {
            shown += static_cast<char>(c);
            ++k;
            continue;
        }
        // A whole UTF-8 sequence stays, except U+0080..U+009F (the C1 controls).
        const std::size_t length = c >= 0xF5 ? 0 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        bool whole = length > 0 && k + length <= n;
        for (std::size_t j = 1; whole && j < length; ++j) whole = (byte(k + j) & 0xC0) == 0x80;
        if (whole) {
            if (length == 2 && c == 0xC2 && byte(k + 1) < 0xA0) {
                shown += '?';
            } else {
                shown.append(text.substr(k, length));
            }
            k += length;
            continue;
        }
        // A byte outside UTF-8: in 0x80..0x9F a C1 control on an 8-bit terminal.
        shown += c < 0xA0 ? '?' : static_cast<char>(c);
        ++k;
    }
    return shown;
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
    // One line, kept nowhere however long it is; the end of input continues at once.
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
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
                static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
                errno = 0;
                if (terminal) {
                    std::cout << terminalSafe(line) << '\n';
                } else {
                    std::cout << line << '\n';
                }
                if (!std::cout) {
                    const int error = errno;
                    std::cout.clear();
                    standardOutputFailed = true;
                    throw WriteError("standard output", error != 0 ? writeFailure(error) : std::string("write failed"));
                }
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
