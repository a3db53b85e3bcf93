// Converting a photometry file between the Eulumdat and IES LM-63 formats.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vl {

struct ConvertResult {
    // 0 written; 1 the program's refusal; 2 a file that cannot be read or written;
    // 64 wrong arguments (an output name that ends in neither .ldt nor .ies, the output
    // being the input, a rotation that is not a number).
    int status = 0;
    std::vector<std::string> out;  // lines for standard output
    std::vector<std::string> err;  // lines for standard error
};

// Reads IN (its format told by its content) and writes OUT in the format its extension
// names (.ldt Eulumdat, .ies IES LM-63-2002, case ignored). An IES file is read with
// C = H + rotation; an IES file is written with H = C - rotation. OUT is written whole
// or not at all; a missing IN is not created.
ConvertResult convertPhotometry(const std::string& in, const std::string& out, double rotation);

// "convert IN OUT [--ies-rotation DEG]": the command's arguments after "convert"; writes
// the result's lines and returns its status.
int runConvertCommand(const std::vector<std::string>& arguments);

// --ies-rotation's value: a finite angle in degrees, or nothing.
std::optional<double> parseIesRotation(const std::string& text);

}  // namespace vl
