#include "writers/pictures/image.hpp"

#include <fstream>

namespace vl::pictures {

PictureFileError::PictureFileError(std::string file, std::string kind)
    : std::runtime_error("file \"" + file + "\": " + kind), file_(std::move(file)), kind_(std::move(kind)) {}

void writeBytes(const std::string& bytes, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw PictureFileError(file.string(), "cannot be created");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw PictureFileError(file.string(), "cannot be written");
}

}  // namespace vl::pictures
