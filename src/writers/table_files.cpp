#include "writers/table_files.hpp"

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

using Json = nlohmann::ordered_json;

Json jsonCell(const TableCell& cell) {
    if (const double* v = std::get_if<double>(&cell)) return std::isfinite(*v) ? Json(*v) : Json(nullptr);
    if (const std::int64_t* v = std::get_if<std::int64_t>(&cell)) return Json(*v);
    if (const std::string* v = std::get_if<std::string>(&cell)) return Json(*v);
    return Json(nullptr);
}

}  // namespace

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) line += ',';
        const std::string& f = fields[k];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

std::string csvCell(const TableCell& cell) {
    if (const double* v = std::get_if<double>(&cell)) return fmt::freeReal(*v);
    if (const std::int64_t* v = std::get_if<std::int64_t>(&cell)) return fmt::freeInteger(*v);
    if (const std::string* v = std::get_if<std::string>(&cell)) return *v;
    return {};
}

std::string jsonRowObject(const std::vector<std::string>& columns, const std::vector<TableCell>& cells) {
    Json object = Json::object();
    for (std::size_t k = 0; k < columns.size(); ++k) {
        object[columns[k]] = k < cells.size() ? jsonCell(cells[k]) : Json(nullptr);
    }
    return object.dump();
}

TableFile::TableFile(std::string path, TableFormat format, std::vector<std::string> columns,
                     const std::vector<std::pair<std::string, TableCell>>& head)
    : path_(std::move(path)), format_(format), columns_(std::move(columns)) {
    // A symbolic link, a device or a pipe is written in place: a rename would replace it.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path_, ec);
    inPlace_ = !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
    partPath_ = inPlace_ ? path_ : path_ + ".part";
    out_.open(partPath_, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out_.is_open()) throw WriteError(partPath_, "cannot be created");
    if (format_ == TableFormat::Csv) {
        out_ << csvRecord(columns_) << '\n';
    } else {
        out_ << "{\n";
        for (const auto& [key, value] : head) out_ << "  " << Json(key).dump() << ": " << jsonCell(value).dump() << ",\n";
        out_ << "  \"columns\": " << Json(columns_).dump() << ",\n  \"rows\": [";
    }
    check();
}

TableFile::~TableFile() = default;

void TableFile::check() {
    if (!out_) throw WriteError(partPath_, "write failed");
}

void TableFile::row(const std::vector<TableCell>& cells) {
    if (format_ == TableFormat::Csv) {
        std::vector<std::string> fields;
        fields.reserve(cells.size());
        for (const TableCell& cell : cells) fields.push_back(csvCell(cell));
        out_ << csvRecord(fields) << '\n';
    } else {
        out_ << (rows_ == 0 ? "\n    " : ",\n    ") << jsonRowObject(columns_, cells);
    }
    ++rows_;
    out_.flush();
    check();
}

void TableFile::rawRecord(const std::string& text) {
    out_ << text << '\n';
    ++rows_;
    check();
}

void TableFile::finish(bool complete) {
    if (finished_) return;
    finished_ = true;
    if (format_ == TableFormat::Json) {
        out_ << (rows_ == 0 ? "],\n" : "\n  ],\n") << "  \"rows_written\": " << rows_ << ",\n  \"complete\": "
             << (complete ? "true" : "false") << "\n}\n";
    }
    out_.close();
    if (!out_) throw WriteError(partPath_, "write failed");
    if (inPlace_) return;
    std::error_code ec;
    std::filesystem::rename(partPath_, path_, ec);
    if (ec) throw WriteError(path_, "cannot be replaced: " + ec.message());
}

void TableFile::abandon() {
    if (finished_) return;
    finished_ = true;
    out_.close();
    if (inPlace_) return;
    std::error_code ec;
    std::filesystem::remove(partPath_, ec);
}

}  // namespace vl
