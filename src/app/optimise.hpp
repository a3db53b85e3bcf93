// The largest spacing that meets a lighting class, for each combination of the other
// varied inputs, and the layout with the lowest power density indicator D_P among them.
//
// Compliance is not monotonic in the spacing (uniformities and the edge ratio rise and
// fall as the luminaires move against the grid), so the search scans a list of spacings
// first and then refines above the largest one that meets the class: every spacing from
// it in steps of 0.1 m up to the next scanned spacing is computed, and the largest that
// meets the class is the answer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/sweep.hpp"
#include "app/sweep_plan.hpp"

namespace vl::sweep {

inline constexpr double kRefineStep = 0.1;  // m

enum class OptimumKind {
    Found,      // the largest spacing meeting the class, below the top of the scan
    TopOfScan,  // the largest scanned spacing meets the class: a larger one may too
    None,       // no scanned spacing meets the class
    Refused,    // no scanned spacing could be computed (the reason of the first)
};
const char* optimumKindName(OptimumKind kind);

struct Optimum {
    OptimumKind kind = OptimumKind::None;
    InstallationData inputs;  // the combination of the other inputs (spacing as the base has it)
    std::optional<Row> row;   // at the answer (Found, TopOfScan) or the first one refused
    std::string reason;       // None and Refused
};

struct OptimiseResult {
    std::vector<Optimum> optima;          // one per combination of the other inputs, in their order
    std::optional<std::size_t> lowestDp;  // the optimum with the lowest finite D_P
    bool interrupted = false;
    std::uint64_t evaluations = 0;
};

// The spacings the refinement computes above `from`, below `to`: from + k * 0.1, rounded
// to two decimals.
std::vector<double> refinementSpacings(double from, double to);

// `others` holds the varied inputs except the spacing; `scan` the spacings, ascending.
// progress(phase, done, total) is called on the calling thread.
OptimiseResult maximiseSpacing(const CombinationEvaluator& evaluator, const Plan& others,
                               const std::vector<double>& scan, int jobs, const std::atomic<bool>& stop,
                               const std::function<void(const char* phase, std::uint64_t done, std::uint64_t total)>& progress);

}  // namespace vl::sweep
