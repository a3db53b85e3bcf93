#include "app/assessment_options.hpp"

#include <charconv>
#include <cmath>

namespace vl {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A whole text that is one finite decimal number.
std::optional<double> number(const std::string& text) {
    const std::string t = trimmed(text);
    if (t.empty()) return std::nullopt;
    double value = 0;
    const char* begin = t.data();
    const char* end = t.data() + t.size();
    if (*begin == '+' && t.size() > 1 && t[1] != '-') ++begin;  // from_chars takes no plus sign
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string shortest(double value) {
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("?");
}

}  // namespace

std::string parseOperatingProfile(const std::string& text, assessment::OperatingProfile& profile) {
    const std::string accepts =
        "it accepts HOURS@PERCENT items separated by commas, hours 0..8760 in all, percent of full power "
        "0..100, for example --profile \"1500@100,2500@50\"";
    std::vector<assessment::OperatingPeriod> periods;
    double total = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t at = item.find('@');
        if (at == std::string::npos) return "--profile: item " + quoted(item) + " has no \"@\"; " + accepts;
        std::string percentText = trimmed(item.substr(at + 1));
        if (!percentText.empty() && percentText.back() == '%') percentText.pop_back();
        const auto hours = number(item.substr(0, at));
        const auto percent = number(percentText);
        if (!hours || *hours < 0) return "--profile: hours in " + quoted(item) + " are not a number of hours 0 or more; " + accepts;
        if (!percent || *percent < 0 || *percent > 100) {
            return "--profile: percent in " + quoted(item) + " is not a percent 0..100; " + accepts;
        }
        periods.push_back({*hours, *percent});
        total = total + *hours;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (total > assessment::kHoursPerYear) {
        return "--profile: the hours add up to " + shortest(total) + ", more than the 8760 h of a year; " +
               accepts;
    }
    profile.periods = std::move(periods);
    profile.fromHours = false;
    profile.byDefault = false;
    return {};
}

AssessmentArguments parseAssessmentArguments(const std::vector<std::string>& arguments) {
    AssessmentArguments result;
    AssessmentOptions& options = result.options;
    bool powerGiven = false;
    bool hoursGiven = false;
    bool profileGiven = false;
    const auto fail = [&result](std::string message) {
        result.usageError = std::move(message);
        return result;
    };
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& a = arguments[k];
        const std::size_t eq = a.find('=');
        const std::string name = a.rfind("--", 0) == 0 ? a.substr(0, eq) : a;
        const bool inlineValue = eq != std::string::npos && a.rfind("--", 0) == 0;
        if (name != "--assess" && name != "--power" && name != "--hours" && name != "--profile") {
            result.otherArguments.push_back(a);
            continue;
        }
        if (name == "--assess") {
            if (options.assess) return fail("--assess given twice; it accepts one lighting class at most");
            options.assess = true;
            std::optional<std::string> className;
            if (inlineValue) {
                className = a.substr(eq + 1);
            } else if (k + 1 < arguments.size() && arguments[k + 1].rfind("-", 0) != 0) {
                className = arguments[++k];
            }
            if (className) {
                options.lightingClass = assessment::findLightingClass(*className);
                if (options.lightingClass == nullptr) {
                    return fail("--assess: unknown lighting class " + quoted(*className) +
                                "; it accepts one of " + assessment::lightingClassNames() +
                                ", or no class for the highest class of each series");
                }
            }
            continue;
        }
        // The three options with a required value.
        std::string value;
        if (inlineValue) {
            value = a.substr(eq + 1);
        } else if (k + 1 < arguments.size()) {
            value = arguments[++k];
        } else {
            return fail(name + " needs a value");
        }
        if (name == "--power") {
            if (powerGiven) return fail("--power given twice");
            powerGiven = true;
            const auto watts = number(value);
            if (!watts || !(*watts > 0)) {
                return fail("--power: " + quoted(value) +
                            " is not a power; it accepts the system power per luminaire in watts, a number above 0");
            }
            options.power = *watts;
        } else if (name == "--hours") {
            if (hoursGiven) return fail("--hours given twice");
            hoursGiven = true;
            const auto hours = number(value);
            if (!hours || *hours < 0 || *hours > assessment::kHoursPerYear) {
                return fail("--hours: " + quoted(value) +
                            " is not a number of hours; it accepts the hours a year at full power, 0..8760");
            }
            options.profile.periods = {{*hours, 100.0}};
            options.profile.fromHours = true;
            options.profile.byDefault = false;
        } else {
            if (profileGiven) return fail("--profile given twice");
            profileGiven = true;
            const std::string error = parseOperatingProfile(value, options.profile);
            if (!error.empty()) return fail(error);
        }
    }
    if (hoursGiven && profileGiven) {
        return fail("--hours and --profile exclude each other; give the hours at full power or the profile");
    }
    if (!options.assess && (powerGiven || hoursGiven || profileGiven)) {
        return fail(std::string(powerGiven ? "--power" : hoursGiven ? "--hours" : "--profile") +
                    " goes with --assess");
    }
    return result;
}

}  // namespace vl
