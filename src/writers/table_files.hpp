// Tables of rows as CSV or JSON files: the results of sweeps.
//
// A table file is written to PATH.part and renamed to PATH when it is finished, so that
// PATH is always a whole table (a PATH that is a symbolic link, a device or a pipe is
// written in place); numbers are written as the shortest text that reads back to the
// same double.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vl {

// One cell: empty, a real, an integer or a text.
using TableCell = std::variant<std::monostate, double, std::int64_t, std::string>;

// One CSV record (RFC 4180): a field holding a comma, a quote, CR or LF is quoted, its
// quotes doubled. No line end.
std::string csvRecord(const std::vector<std::string>& fields);
// A cell's CSV text: empty, the free numeric layout (NaN, Infinity, -Infinity for
// non-finite reals), or the text.
std::string csvCell(const TableCell& cell);

// One row as a one-line JSON object keyed by the columns; empty cells and non-finite
// reals are null.
std::string jsonRowObject(const std::vector<std::string>& columns, const std::vector<TableCell>& cells);

enum class TableFormat { Csv, Json };

class TableFile {
public:
    // Creates PATH.part and writes the header (CSV: the column names; JSON: the head
    // members, the column list and the start of "rows"). A WriteError when it cannot.
    TableFile(std::string path, TableFormat format, std::vector<std::string> columns,
              const std::vector<std::pair<std::string, TableCell>>& head = {});
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    void row(const std::vector<TableCell>& cells);
    // A CSV record as it stands (merging keeps the parts' records byte for byte).
    void rawRecord(const std::string& text);
    // Ends the table (JSON: "rows_written" and "complete"), flushes it and renames it to PATH.
    void finish(bool complete = true);
    // Closes and removes PATH.part, leaving PATH as it was (a PATH written in place keeps
    // what was written).
    void abandon();

    const std::string& path() const { return path_; }
    std::uint64_t rows() const { return rows_; }

private:
    void check();
    std::string path_;
    std::string partPath_;
    TableFormat format_;
    std::vector<std::string> columns_;
    std::ofstream out_;
    std::uint64_t rows_ = 0;
    bool inPlace_ = false;
    bool finished_ = false;
};

}  // namespace vl
