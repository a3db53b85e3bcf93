#include "writers/pictures/png_encoder.hpp"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace vl::pictures {

namespace {

constexpr int kLevel = 2;

void appendUint32(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 24) & 0xff);
    out += static_cast<char>((v >> 16) & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
    out += static_cast<char>(v & 0xff);
}

void appendChunk(std::string& out, const char* type, const unsigned char* data, std::size_t length) {
    appendUint32(out, static_cast<std::uint32_t>(length));
    const std::size_t start = out.size();
    out.append(type, 4);
    if (length > 0) out.append(reinterpret_cast<const char*>(data), length);
    const auto* typed = reinterpret_cast<const unsigned char*>(out.data() + start);
    appendUint32(out, static_cast<std::uint32_t>(crc32(0, typed, static_cast<uInt>(length + 4))));
}

}  // namespace

std::string encodePng(const unsigned char* pixels, int width, int height, int stride) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("PNG of an empty picture");
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    // Rows without a filter (type 0): the colours come from a table of a few hundred shades
    // that repeat along the rows, which deflate finds better unfiltered than as differences.
    const std::size_t rowBytes = 1 + 3 * w;
    // Buffers kept by the thread: fresh pages cost more than the filtering itself.
    thread_local std::vector<unsigned char> raw;
    thread_local std::vector<unsigned char> packed;
    raw.resize(rowBytes * h);
    for (std::size_t y = 0; y < h; ++y) {
        unsigned char* out = raw.data() + y * rowBytes;
        *out++ = 0;
        const unsigned char* row = pixels + y * static_cast<std::size_t>(stride);
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t word;
            std::memcpy(&word, row + 4 * x, 4);
            *out++ = static_cast<unsigned char>(word >> 16);
            *out++ = static_cast<unsigned char>(word >> 8);
            *out++ = static_cast<unsigned char>(word);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), kLevel) != Z_OK) {
        throw std::runtime_error("PNG compression failed");
    }
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::array<unsigned char, 13> header{};
    for (int k = 0; k < 4; ++k) {
        header[static_cast<std::size_t>(k)] = static_cast<unsigned char>((w >> (24 - 8 * k)) & 0xff);
        header[static_cast<std::size_t>(4 + k)] = static_cast<unsigned char>((h >> (24 - 8 * k)) & 0xff);
    }
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB
    appendChunk(png, "IHDR", header.data(), header.size());
    appendChunk(png, "IDAT", packed.data(), packedSize);
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace vl::pictures
