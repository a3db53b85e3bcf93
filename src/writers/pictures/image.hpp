// A drawn picture held in memory, and writing it to a file.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vl::pictures {

enum class ImageFormat { Png, Svg };

struct Image {
    ImageFormat format = ImageFormat::Png;
    int width = 0;   // pixels (PNG) or user units (SVG)
    int height = 0;
    std::string bytes;
};

// A picture file or folder that cannot be created or written: names it and says what failed.
class PictureFileError : public std::runtime_error {
public:
    PictureFileError(std::string file, std::string kind);
    const std::string& file() const { return file_; }
    const std::string& kind() const { return kind_; }

private:
    std::string file_;
    std::string kind_;
};

// Writes the bytes to the file (created or replaced); throws PictureFileError.
void writeBytes(const std::string& bytes, const std::filesystem::path& file);

inline const char* extension(ImageFormat format) { return format == ImageFormat::Png ? ".png" : ".svg"; }

}  // namespace vl::pictures
