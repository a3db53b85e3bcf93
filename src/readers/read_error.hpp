// What a reader throws when a file cannot be taken as its format says.
#pragma once

#include <stdexcept>
#include <string>

#include "core/refusal.hpp"

namespace vl {

// A file that cannot be read (missing item, end of file, not a number, cannot be opened):
// the run stops with a message naming the file and the kind of failure.
class ReadError : public std::runtime_error {
public:
    ReadError(std::string fileName, std::string kind)
        : std::runtime_error("file \"" + fileName + "\": " + kind), fileName_(std::move(fileName)), kind_(std::move(kind)) {}
    const std::string& fileName() const { return fileName_; }
    const std::string& kind() const { return kind_; }

private:
    std::string fileName_;
    std::string kind_;
};

// A file that reads but that the program refuses: the message is its Console line.
using InputRefusal = Refusal;

}  // namespace vl
