// The program's own refusal of an input it cannot compute with (a table bound, an axis
// that does not ascend, a value it does not take). The message is the line the user
// is shown; the run computes nothing further.
#pragma once

#include <stdexcept>
#include <string>

namespace vl {

class Refusal : public std::runtime_error {
public:
    explicit Refusal(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vl
