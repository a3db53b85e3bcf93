#include "app/optimise.hpp"

#include <cmath>

namespace vl::sweep {

const char* optimumKindName(OptimumKind kind) {
    switch (kind) {
        case OptimumKind::Found: return "found";
        case OptimumKind::TopOfScan: return "top_of_scan";
        case OptimumKind::None: return "none";
        case OptimumKind::Refused: return "refused";
    }
    return "none";
}

std::vector<double> refinementSpacings(double from, double to) {
    std::vector<double> spacings;
    for (int k = 1;; ++k) {
        const double s = twoDecimals(from + static_cast<double>(k) * kRefineStep);
        if (!(s < to - 0.005)) break;  // spacings stand on two decimals
        spacings.push_back(s);
    }
    return spacings;
}

namespace {

// What the search keeps of one combination while the rows arrive.
struct Search {
    std::optional<std::size_t> bestScan;  // the largest scanned spacing meeting the class
    std::optional<Row> best;
    bool anyCompleted = false;
    std::optional<Row> firstRefused;
};

}  // namespace

OptimiseResult maximiseSpacing(const CombinationEvaluator& evaluator, const Plan& others,
                               const std::vector<double>& scan, int jobs, const std::atomic<bool>& stop,
                               const std::function<void(const char*, std::uint64_t, std::uint64_t)>& progress) {
    OptimiseResult result;
    const std::uint64_t combinations = others.count();
    const std::uint64_t scanCount = scan.size();
    std::vector<Search> searches(combinations);
    std::vector<InstallationData> inputs(combinations);
    for (std::uint64_t c = 0; c < combinations; ++c) inputs[c] = others.combination(c);

    // Scan: every combination at every scanned spacing (combination by combination).
    const std::uint64_t scanTasks = combinations * scanCount;
    auto scanTask = [&](std::uint64_t k, CombinationEvaluator::Scratch& scratch) -> std::optional<Row> {
        InstallationData d = inputs[k / scanCount];
        d.spacing = scan[k % scanCount];
        return evaluator.evaluate(k / scanCount, d, scratch, &stop);
    };
    auto take = [&](Search& s, Row&& row, std::optional<std::size_t> scanIndex) {
        if (row.outcome == Outcome::Completed) s.anyCompleted = true;
        if (row.outcome != Outcome::Completed && !s.firstRefused) s.firstRefused = row;
        if (!row.meetsClass()) return;
        if (scanIndex) s.bestScan = scanIndex;
        s.best = std::move(row);
    };
    const std::uint64_t scanned = runOrdered(
        evaluator, scanTasks, jobs, scanTask,
        [&](std::uint64_t k, Row&& row) { take(searches[k / scanCount], std::move(row), k % scanCount); },
        [&](std::uint64_t done) { progress("scan", done, scanTasks); }, stop);
    result.evaluations += scanned;
    if (scanned < scanTasks) {
        result.interrupted = true;
        return result;
    }

    // Refinement: above the largest scanned spacing meeting the class, to the next one.
    struct Refinement {
        std::uint64_t combination;
        double spacing;
    };
    std::vector<Refinement> refinements;
    for (std::uint64_t c = 0; c < combinations; ++c) {
        const Search& s = searches[c];
        if (!s.bestScan || *s.bestScan + 1 >= scanCount) continue;
        for (double spacing : refinementSpacings(scan[*s.bestScan], scan[*s.bestScan + 1])) {
            refinements.push_back({c, spacing});
        }
    }
    const std::uint64_t refineTasks = refinements.size();
    auto refineTask = [&](std::uint64_t k, CombinationEvaluator::Scratch& scratch) -> std::optional<Row> {
        InstallationData d = inputs[refinements[k].combination];
        d.spacing = refinements[k].spacing;
        return evaluator.evaluate(refinements[k].combination, d, scratch, &stop);
    };
    const std::uint64_t refined = runOrdered(
        evaluator, refineTasks, jobs, refineTask,
        [&](std::uint64_t k, Row&& row) { take(searches[refinements[k].combination], std::move(row), std::nullopt); },
        [&](std::uint64_t done) { progress("refine", done, refineTasks); }, stop);
    result.evaluations += refined;
    if (refined < refineTasks) {
        result.interrupted = true;
        return result;
    }

    for (std::uint64_t c = 0; c < combinations; ++c) {
        Search& s = searches[c];
        Optimum o;
        o.inputs = inputs[c];
        if (s.best) {
            o.kind = *s.bestScan + 1 >= scanCount ? OptimumKind::TopOfScan : OptimumKind::Found;
            o.row = std::move(s.best);
        } else if (s.anyCompleted) {
            o.kind = OptimumKind::None;
            o.reason = "no scanned spacing meets the class";
        } else {
            o.kind = OptimumKind::Refused;
            o.row = std::move(s.firstRefused);
            if (o.row) o.reason = o.row->reason;
        }
        result.optima.push_back(std::move(o));
    }
    for (std::size_t k = 0; k < result.optima.size(); ++k) {
        const Optimum& o = result.optima[k];
        if (!o.row || !o.row->meetsClass() || !o.row->assessment) continue;
        const double dp = o.row->assessment->powerDensity;
        if (!std::isfinite(dp)) continue;
        if (!result.lowestDp || dp < result.optima[*result.lowestDp].row->assessment->powerDensity) result.lowestDp = k;
    }
    return result;
}

}  // namespace vl::sweep
