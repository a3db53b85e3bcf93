// The combinations of a sweep: which of the ten inputs vary, over which values, in which
// order, and the slice of them that one shard computes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run/installation.hpp"

namespace vl::sweep {

enum class Input { Flux, Width, Spacing, Overhang, Height, Maintenance, Tilt, Surface, Grid, Photometry };

enum class InputKind { Real, Integer, Text };

struct InputInfo {
    Input input;
    std::string_view name;    // as --vary and --set take it
    std::string_view column;  // the CSV column, as the results JSON names it
    InputKind kind;
};

// The ten inputs in the order of the installation line.
std::span<const InputInfo> inputInfos();
const InputInfo& inputInfo(Input input);
const InputInfo* findInput(std::string_view name);

// One value of an input: a number (reals and the grid choice) or a text.
struct InputValue {
    double number = 0;
    std::string text;
};

void setInput(InstallationData& data, Input input, const InputValue& value);

// One --vary option: the input and its values in the order they are computed.
struct Variable {
    Input input = Input::Flux;
    std::vector<InputValue> values;
    std::string option;  // "--vary " and the argument, for messages
};

// Parses "NAME=FROM:TO:STEP" (every FROM + k * STEP up to TO, each rounded to the two
// decimals the installation file keeps) or "NAME=V1,V2,...". An error names the option.
struct VaryParse {
    std::optional<Variable> variable;
    std::string error;
};
VaryParse parseVary(std::string_view argument);

// Rounds to the two decimals of an F7.2 field (ties to even on the exact binary value).
double twoDecimals(double value);

// Every combination of the variables: the first variable changes slowest, the last one
// fastest. Combination k (from 0) of the whole sweep.
class Plan {
public:
    Plan(InstallationData base, std::vector<Variable> variables);
    // Saturates at UINT64_MAX.
    std::uint64_t count() const { return count_; }
    InstallationData combination(std::uint64_t index) const;
    // The value index of each variable in combination `index`.
    std::vector<std::size_t> digits(std::uint64_t index) const;
    const std::vector<Variable>& variables() const { return variables_; }
    const InstallationData& base() const { return base_; }

private:
    InstallationData base_;
    std::vector<Variable> variables_;
    std::uint64_t count_ = 1;
};

inline constexpr std::uint64_t kCombinationLimit = 1'000'000;

// The K-th (1-based) of N nearly equal slices of 0..count-1: [begin, end). The slices of
// 1..N follow each other and cover every combination exactly once.
struct Slice {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};
Slice shardSlice(std::uint64_t count, std::uint64_t k, std::uint64_t n);

// "K/N" with 1 <= K <= N; an error text otherwise.
struct ShardParse {
    std::uint64_t k = 1;
    std::uint64_t n = 1;
    std::string error;
};
ShardParse parseShard(std::string_view text);

}  // namespace vl::sweep
