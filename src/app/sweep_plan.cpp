#include "app/sweep_plan.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "readers/text_input.hpp"
#include "text/format.hpp"

namespace vl::sweep {

namespace {

constexpr std::array<InputInfo, 10> kInputs{{
    {Input::Flux, "flux", "lamp_flux_klm", InputKind::Real},
    {Input::Width, "width", "road_width_m", InputKind::Real},
    {Input::Spacing, "spacing", "spacing_m", InputKind::Real},
    {Input::Overhang, "overhang", "overhang_m", InputKind::Real},
    {Input::Height, "height", "pole_height_m", InputKind::Real},
    {Input::Maintenance, "maintenance", "maintenance_factor", InputKind::Real},
    {Input::Tilt, "tilt", "tilt_deg", InputKind::Real},
    {Input::Surface, "surface", "surface_class", InputKind::Text},
    {Input::Grid, "grid", "grid_choice", InputKind::Integer},
    {Input::Photometry, "photometry", "photometry_file", InputKind::Text},
}};

// The finest step a real input can take: the installation file keeps two decimals.
constexpr double kFinestStep = 0.01;
// No single input takes more values than this (the combinations have their own limit).
constexpr std::uint64_t kValueLimit = kCombinationLimit;

std::string inputNames() {
    std::string names;
    for (const InputInfo& info : kInputs) {
        if (!names.empty()) names += ' ';
        names += info.name;
    }
    return names;
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

std::optional<double> number(const std::string& text, InputKind kind) {
    if (kind == InputKind::Integer) {
        const auto value = parseInteger(text);
        if (!value) return std::nullopt;
        return static_cast<double>(*value);
    }
    return parseReal(text);
}

std::string kindText(InputKind kind) { return kind == InputKind::Integer ? "an integer" : "a number"; }

}  // namespace

std::span<const InputInfo> inputInfos() { return kInputs; }

const InputInfo& inputInfo(Input input) {
    for (const InputInfo& info : kInputs) {
        if (info.input == input) return info;
    }
    return kInputs[0];
}

const InputInfo* findInput(std::string_view name) {
    for (const InputInfo& info : kInputs) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

void setInput(InstallationData& d, Input input, const InputValue& value) {
    switch (input) {
        case Input::Flux: d.lampFlux = value.number; break;
        case Input::Width: d.roadWidth = value.number; break;
        case Input::Spacing: d.spacing = value.number; break;
        case Input::Overhang: d.overhang = value.number; break;
        case Input::Height: d.poleHeight = value.number; break;
        case Input::Maintenance: d.maintenanceFactor = value.number; break;
        case Input::Tilt: d.tilt = value.number; break;
        case Input::Surface: d.surfaceClass = value.text; break;
        case Input::Grid: d.gridChoice = static_cast<int>(value.number); break;
        case Input::Photometry: d.photometryFile = value.text; break;
    }
}

double twoDecimals(double value) {
    if (!std::isfinite(value)) return value;
    const std::string text = fmt::F(value, 40, 2);
    return std::strtod(text.c_str(), nullptr);
}

VaryParse parseVary(std::string_view argument) {
    VaryParse result;
    const std::string option = "--vary " + std::string(argument);
    auto fail = [&](const std::string& what) {
        result.error = option + ": " + what;
        return result;
    };
    const std::size_t eq = argument.find('=');
    if (eq == std::string_view::npos) return fail("needs NAME=FROM:TO:STEP or NAME=V1,V2,...");
    const std::string name(argument.substr(0, eq));
    const InputInfo* info = findInput(name);
    if (info == nullptr) return fail("unknown input \"" + name + "\" (inputs: " + inputNames() + ")");
    const std::string_view values = argument.substr(eq + 1);
    if (values.empty()) return fail("empty range: no values given");

    Variable variable;
    variable.input = info->input;
    variable.option = option;
    if (values.find(':') != std::string_view::npos) {
        if (info->kind == InputKind::Text) return fail(std::string(info->name) + " takes a list of values, not a range");
        const std::vector<std::string> parts = split(values, ':');
        if (parts.size() != 3) return fail("a range is FROM:TO:STEP");
        for (const std::string& part : parts) {
            if (part.empty()) return fail("empty range: FROM, TO and STEP are all needed");
        }
        std::array<double, 3> v{};
        for (std::size_t k = 0; k < 3; ++k) {
            const auto parsed = number(parts[k], info->kind);
            if (!parsed) return fail("\"" + parts[k] + "\" is not " + kindText(info->kind));
            v[k] = *parsed;
        }
        const double from = v[0];
        const double to = v[1];
        const double step = v[2];
        if (step == 0.0) return fail("a step of 0");
        if (step < 0.0) return fail("the step must be positive");
        if (from > to) return fail("reversed range: FROM is above TO");
        if (info->kind == InputKind::Real && step < kFinestStep) {
            return fail("a step below 0.01, finer than the two decimals the installation file keeps");
        }
        // Values FROM + k * STEP, k = 0.. while they stay within TO (up to the rounding of
        // the quotient), each computed afresh so that no rounding accumulates.
        const double last = std::floor((to - from) / step + 1e-9);
        if (!(last < static_cast<double>(kValueLimit))) {
            return fail("more than " + std::to_string(kValueLimit) + " values");
        }
        const auto n = static_cast<std::uint64_t>(last) + 1;
        for (std::uint64_t k = 0; k < n; ++k) {
            const double x = from + static_cast<double>(k) * step;
            variable.values.push_back({info->kind == InputKind::Real ? twoDecimals(x) : x, {}});
        }
    } else {
        for (const std::string& item : split(values, ',')) {
            if (item.empty()) return fail("empty value in the list");
            InputValue value;
            if (info->kind == InputKind::Text) {
                value.text = item;
            } else {
                const auto parsed = number(item, info->kind);
                if (!parsed) return fail("\"" + item + "\" is not " + kindText(info->kind));
                value.number = *parsed;
            }
            variable.values.push_back(value);
        }
        if (variable.values.size() > kValueLimit) return fail("more than " + std::to_string(kValueLimit) + " values");
    }
    result.variable = std::move(variable);
    return result;
}

Plan::Plan(InstallationData base, std::vector<Variable> variables)
    : base_(std::move(base)), variables_(std::move(variables)) {
    constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    for (const Variable& v : variables_) {
        const std::uint64_t n = v.values.size();
        if (n == 0) {
            count_ = 0;
            return;
        }
        count_ = count_ > most / n ? most : count_ * n;
    }
}

std::vector<std::size_t> Plan::digits(std::uint64_t index) const {
    std::vector<std::size_t> d(variables_.size(), 0);
    for (std::size_t k = variables_.size(); k-- > 0;) {
        const std::uint64_t n = variables_[k].values.size();
        d[k] = static_cast<std::size_t>(index % n);
        index /= n;
    }
    return d;
}

InstallationData Plan::combination(std::uint64_t index) const {
    InstallationData data = base_;
    const std::vector<std::size_t> d = digits(index);
    for (std::size_t k = 0; k < variables_.size(); ++k) {
        setInput(data, variables_[k].input, variables_[k].values[d[k]]);
    }
    return data;
}

Slice shardSlice(std::uint64_t count, std::uint64_t k, std::uint64_t n) {
    // The first count % n slices hold one combination more than the others.
    const std::uint64_t q = count / n;
    const std::uint64_t r = count % n;
    auto start = [&](std::uint64_t j) { return j * q + (j < r ? j : r); };  // j slices before
    return {start(k - 1), start(k)};
}

ShardParse parseShard(std::string_view text) {
    ShardParse result;
    const std::string option = "--shard " + std::string(text);
    const std::size_t slash = text.find('/');
    auto whole = [](std::string_view part, std::uint64_t& out) {
        if (part.empty() || part.find_first_not_of("0123456789") != std::string_view::npos) return false;
        const auto r = std::from_chars(part.data(), part.data() + part.size(), out);
        return r.ec == std::errc() && r.ptr == part.data() + part.size();
    };
    if (slash == std::string_view::npos || !whole(text.substr(0, slash), result.k) ||
        !whole(text.substr(slash + 1), result.n)) {
        result.error = option + ": needs K/N, two whole numbers";
        return result;
    }
    if (result.n < 1) {
        result.error = option + ": N must be at least 1";
    } else if (result.k < 1 || result.k > result.n) {
        result.error = option + ": K must lie in 1.." + std::to_string(result.n);
    }
    return result;
}

}  // namespace vl::sweep
