// The free-format reader: item splitting, number parsing and reads from a file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "readers/read_error.hpp"
#include "app/process_stop.hpp"
#include "readers/text_input.hpp"

VL_FUZZ_INIT

namespace {

void checkLine(std::string_view line) {
    const vl::SplitLine split = vl::splitItems(line);
    for (const vl::FreeItem& item : split.items) {
        if (item.kind == vl::FreeItem::Kind::Null) {
            vl::fuzz::require(item.text.empty());
            continue;
        }
        if (!item.quoted) {
            // An unquoted item never holds a separator.
            vl::fuzz::require(item.text.find_first_of(" \t\r,/") == std::string::npos);
            vl::fuzz::require(!item.text.empty());
        }
        if (auto real = vl::parseReal(item.text)) vl::fuzz::require(std::isfinite(*real));
        if (auto integer = vl::parseInteger(item.text)) {
            vl::fuzz::require(*integer >= std::numeric_limits<int>::min() &&
                              *integer <= std::numeric_limits<int>::max());
            // Every integer is a real too, of the same value.
            auto asReal = vl::parseReal(item.text);
            vl::fuzz::require(asReal.has_value() && *asReal == static_cast<double>(*integer));
        }
    }
    if (auto real = vl::firstReal(line)) vl::fuzz::require(std::isfinite(*real));
    (void)vl::firstText(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The lines as the reader should see them: split at LF, one CR before it dropped.
    std::vector<std::string_view> expected;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        expected.push_back(line);
        checkLine(line);
        start = end + 1;
    }

    vl::fuzz::writeInput("free.txt", data, size);
    try {
        vl::InputFile file("free.txt");
        // The kind of each read follows the line number, so that every kind meets every line.
        std::size_t step = 0;
        while (!file.atEnd()) {
            const std::size_t before = file.lineNumber();
            try {
                switch (step++ % 7) {
                    case 0: {
                        const double value = file.readReal();
                        vl::fuzz::require(std::isfinite(value));
                        break;
                    }
                    case 1:
                        (void)file.readInteger();
                        break;
                    case 2:
                        vl::fuzz::require(file.readText(78).size() <= 78);
                        break;
                    case 3:
                        vl::fuzz::require(file.readFixedText(40).size() == 40);
                        break;
                    case 4: {
                        vl::ListRead read(file);
                        int count = 0;
                        double x = 0;
                        char flag = ' ';
                        std::string word;
                        read.integer(count);
                        read.character(flag);
                        read.real(x);
                        read.text(word, 20);
                        vl::fuzz::require(word.size() <= 20);
                        break;
                    }
                    case 5: {
                        auto line = file.nextLine();
                        vl::fuzz::require(line.has_value());
                        vl::fuzz::require(file.lineNumber() <= expected.size());
                        vl::fuzz::require(*line == expected[file.lineNumber() - 1]);
                        break;
                    }
                    default: {
                        vl::ListRead read(file);
                        double values[9] = {};
                        for (double& v : values) read.real(v);
                        break;
                    }
                }
            } catch (const vl::ReadError& error) {
                vl::fuzz::require(!error.kind().empty());
            }
            vl::fuzz::require(file.lineNumber() >= before);
            if (file.lineNumber() == before) break;  // a read that took no line
        }
        vl::fuzz::require(file.lineNumber() == expected.size());
    } catch (const vl::ReadError&) {
    }
    return 0;
}
