#include "readers/csv_records.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "readers/read_error.hpp"
#include "readers/text_input.hpp"

namespace vl {

std::vector<CsvRecord> parseCsv(const std::string& fileName, const std::string& text) {
    std::vector<CsvRecord> records;
    std::size_t k = 0;
    std::size_t line = 1;
    const std::size_t n = text.size();
    while (k < n) {
        CsvRecord record;
        record.line = line;
        const std::size_t start = k;
        std::string field;
        bool quoted = false;
        for (;;) {
            if (quoted) {
                if (k >= n) throw ReadError(fileName, "a quoted field is not closed (line " + std::to_string(record.line) + ")");
                const char c = text[k++];
                if (c == '"') {
                    if (k < n && text[k] == '"') {
                        field += '"';
                        ++k;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n') ++line;
                    field += c;
                }
                continue;
            }
            if (k >= n || text[k] == '\n' || (text[k] == '\r' && k + 1 < n && text[k + 1] == '\n')) break;
            const char c = text[k++];
            if (c == ',') {
                record.fields.push_back(std::move(field));
                field.clear();
            } else if (c == '"' && field.empty()) {
                quoted = true;
            } else {
                field += c;
            }
        }
        record.fields.push_back(std::move(field));
        record.text = text.substr(start, k - start);
        if (k < n && text[k] == '\r') ++k;
        if (k < n && text[k] == '\n') ++k;
        ++line;
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<CsvRecord> readCsvFile(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) throw ReadError(fileName, "does not exist");
    if (std::filesystem::is_directory(fileName, ec)) throw ReadError(fileName, "is a directory, not a file");
    if (!std::filesystem::is_regular_file(fileName, ec)) throw ReadError(fileName, "is not a regular file");
    if (std::filesystem::file_size(fileName, ec) > kMaxInputBytes) {
        throw ReadError(fileName, "is larger than any input of this program (64 MiB): it was not read");
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in.is_open()) throw ReadError(fileName, "cannot be opened");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ReadError(fileName, "read failed");
    return parseCsv(fileName, text);
}

}  // namespace vl
