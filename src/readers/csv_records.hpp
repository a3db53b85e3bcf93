// Records of a CSV file (RFC 4180): fields separated by commas, a quoted field may hold
// commas, doubled quotes and line ends; records end at LF or CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vl {

struct CsvRecord {
    std::vector<std::string> fields;
    std::string text;      // the record as it stands in the file, without its line end
    std::size_t line = 0;  // 1-based line where it starts
};

// Every record of the text; a quote left open is a ReadError naming fileName.
std::vector<CsvRecord> parseCsv(const std::string& fileName, const std::string& text);

// Reads the file whole (a ReadError when it cannot be opened or read).
std::vector<CsvRecord> readCsvFile(const std::string& fileName);

}  // namespace vl
