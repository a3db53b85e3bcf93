// Text in XML and HTML documents.
#pragma once

#include <string>
#include <string_view>

namespace vl::pictures {

// The text with & < > " ' written as character references and control characters other
// than tab and line feed (not allowed in XML 1.0) dropped; usable in content and in
// quoted attribute values.
std::string escapeMarkup(std::string_view text);

// A relative file reference for an href or src attribute: bytes that are not safe in a
// URL path segment (blank, # ? % " < > \ and control bytes) percent-encoded, the rest kept.
std::string encodeFileReference(std::string_view file);

}  // namespace vl::pictures
