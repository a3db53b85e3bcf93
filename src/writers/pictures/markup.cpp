#include "writers/pictures/markup.hpp"

#include <array>

namespace vl::pictures {

std::string escapeMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                if (c == 0x7f) break;
                out += c;
        }
    }
    return out;
}

std::string encodeFileReference(std::string_view file) {
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string out;
    for (char c : file) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unsafe = byte <= 0x20 || byte == 0x7f || c == '#' || c == '?' || c == '%' || c == '"' ||
                            c == '<' || c == '>' || c == '\\' || c == '\'' || c == '&';
        if (unsafe) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace vl::pictures
