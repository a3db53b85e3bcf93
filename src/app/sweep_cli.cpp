#include "app/sweep_cli.hpp"

#include "app/convert.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <thread>

#include "app/assessment_options.hpp"
#include "app/driver.hpp"
#include "app/installation_file.hpp"
#include "app/optimise.hpp"
#include "app/sweep.hpp"
#include "app/sweep_plan.hpp"
#include "app/sweep_rows.hpp"
#include "readers/csv_records.hpp"
#include "readers/read_error.hpp"
#include "readers/text_input.hpp"
#include "text/format.hpp"
#include "writers/streams.hpp"
#include "writers/table_files.hpp"

namespace vl {

namespace {

using namespace sweep;

constexpr int kUsage = 64;
constexpr int kFileError = 2;
constexpr int kMergeRefused = 1;
constexpr int kMostJobs = 256;
// Even with --force: rows are numbered in 64-bit signed integers with room to spare.
constexpr std::uint64_t kCountLimit = 1'000'000'000'000'000;

const char* const kSweepHelp =
    "Usage: vesperluminal sweep --vary NAME=FROM:TO:STEP|NAME=V1,V2,... ... [--assess [CLASS]\n"
    "                           [--power WATTS] [--hours H | --profile H1@P1,...]] [--jobs N]\n"
    "                           [--shard K/N] [--force] --csv OUT.csv [--json OUT.json]\n"
    "\n"
    "Computes every combination of the varied inputs, starting from the input_nocturne.dat of the\n"
    "current directory, and writes one row per combination in the order of the combinations (the\n"
    "first --vary changes slowest). No report or data file is written.\n"
    "\n"
    "  --vary NAME=...   NAME is one of: flux width spacing overhang tilt height maintenance surface\n"
    "                    photometry grid; FROM:TO:STEP takes FROM + k * STEP up to TO (two decimals),\n"
    "                    V1,V2,... the values as listed (surface and photometry take lists only)\n"
    "  --assess [CLASS]  pass or fail and the margin of each requirement of CLASS (without CLASS:\n"
    "                    the highest class of each series), the edge illuminance ratio, D_P and D_E;\n"
    "                    --power, --hours and --profile as for a run\n"
    "  --jobs N          worker threads (default: the number of cores)\n"
    "  --shard K/N       only the K-th of N equal slices of the combinations\n"
    "  --force           allow more than 1000000 combinations\n"
    "  --csv OUT.csv     the rows as CSV\n"
    "  --json OUT.json   the rows as JSON too\n"
    "  --ies-rotation DEG  IES photometry read with C = H + DEG (default 90)\n"
    "\n"
    "Ctrl-C ends the sweep with the rows finished so far written whole.\n";

const char* const kMergeHelp =
    "Usage: vesperluminal sweep-merge OUT.csv PARTS...\n"
    "\n"
    "Joins the CSV files of the shards of a sweep into OUT.csv, its rows in the order of the\n"
    "combinations. The parts must have the same columns and no combination twice; combinations\n"
    "missing between the first and the last are listed and the exit status is 1.\n";

const char* const kOptimiseHelp =
    "Usage: vesperluminal optimise --assess CLASS --maximise spacing [--vary NAME=...]...\n"
    "                              [--power WATTS] [--hours H | --profile H1@P1,...] [--jobs N] [--force]\n"
    "                              [--csv OUT.csv] [--json OUT.json]\n"
    "\n"
    "For each combination of the varied inputs, the largest spacing (to 0.1 m) that meets CLASS,\n"
    "and the layout with the lowest D_P among them. The spacings scanned are those of\n"
    "--vary spacing=FROM:TO:STEP (or a list; default 1:100:1); above the largest scanned spacing\n"
    "that meets the class every spacing in steps of 0.1 m up to the next scanned one is computed.\n";

std::string trimmedNumber(double value, int decimals) {
    const std::string text = fmt::F(value, 30, decimals);
    return text.substr(text.find_first_not_of(' '));
}

int usage(const std::string& command, const std::string& message) {
    std::cerr << "vesperluminal " << command << ": " << message << "\n(see vesperluminal " << command << " --help)\n";
    return kUsage;
}

int fileError(const std::string& message) {
    std::cerr << "vesperluminal: " << message << '\n';
    return kFileError;
}

// Stops a sweep at SIGINT or SIGTERM; a second signal ends the process at once.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

extern "C" void onSweepStopSignal(int number) {
    stopSignal.store(number);
    stopRequested.store(true);
}

class StopSignals {
public:
    StopSignals() {
        stopRequested = false;
        stopSignal = 0;
        struct sigaction action {};
        action.sa_handler = onSweepStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    static int status() { return 128 + stopSignal.load(); }

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

// Done, total, rate and time left on standard error when it is a terminal; nothing otherwise.
class ProgressBar {
public:
    ProgressBar() : enabled_(isatty(STDERR_FILENO) == 1) {}
    ~ProgressBar() { clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(const std::string& label, std::uint64_t done, std::uint64_t total) {
        if (!enabled_) return;
        const auto now = std::chrono::steady_clock::now();
        if (label != label_) {
            label_ = label;
            start_ = now;
        } else if (done < total && now - drawn_ < std::chrono::milliseconds(100)) {
            return;
        }
        drawn_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
        constexpr int width = 24;
        const int filled = total == 0 ? width : static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * width);
        std::string line = label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                           std::string(static_cast<std::size_t>(width - filled), '-') + "] " + std::to_string(done) +
                           "/" + std::to_string(total) + "  " + trimmed(fmt::F(rate, 12, 1)) + "/s  ";
        line += rate > 0 ? clock(static_cast<double>(total - done) / rate) + " left" : std::string("--:-- left");
        std::fprintf(stderr, "\r%s\033[K", line.c_str());
        std::fflush(stderr);
        shown_ = true;
    }

    void clear() {
        if (!shown_) return;
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        shown_ = false;
    }

    bool enabled() const { return enabled_; }

private:
    static std::string trimmed(const std::string& text) { return text.substr(text.find_first_not_of(' ')); }
    static std::string clock(double seconds) {
        const auto s = static_cast<long long>(std::ceil(seconds));
        const std::string mm = std::to_string(s / 60 % 60);
        const std::string ss = (s % 60 < 10 ? "0" : "") + std::to_string(s % 60);
        if (s >= 3600) return std::to_string(s / 3600) + ":" + (s / 60 % 60 < 10 ? "0" : "") + mm + ":" + ss;
        return mm + ":" + ss;
    }

    bool enabled_;
    bool shown_ = false;
    std::string label_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point drawn_;
};

// The options sweep and optimise share.
struct Options {
    std::vector<Variable> variables;
    AssessmentOptions assessment;
    int jobs = 0;
    bool force = false;
    std::string csv;
    std::string json;
    std::optional<ShardParse> shard;
    std::string maximise;
    double iesRotation = kDefaultIesRotation;
    bool help = false;
};

// Parses the arguments after the subcommand; returns a usage message, empty when fine.
std::string parseOptions(const std::vector<std::string>& arguments, bool optimise, Options& options) {
    const AssessmentArguments assessment = parseAssessmentArguments(arguments);
    if (!assessment.ok()) return assessment.usageError;
    options.assessment = assessment.options;
    const std::vector<std::string>& args = assessment.otherArguments;
    std::map<std::string, bool> given;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--help" || a == "-h") {
            options.help = true;
            return {};
        }
        if (a == "--force") {
            options.force = true;
            continue;
        }
        std::string name = a;
        std::string value;
        const auto eq = a.find('=');
        if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        const bool known = name == "--vary" || name == "--jobs" || name == "--csv" || name == "--json" ||
                           name == "--ies-rotation" ||
                           (!optimise && name == "--shard") || (optimise && name == "--maximise");
        if (!known) return "unknown option \"" + a + "\"";
        if (eq == std::string::npos || a.rfind("--", 0) != 0) {
            if (k + 1 >= args.size()) return name + " needs a value";
            value = args[++k];
        }
        if (name != "--vary" && given[name]) return name + " is given twice";
        given[name] = true;
        if (name == "--vary") {
            VaryParse parsed = parseVary(value);
            if (!parsed.variable) return parsed.error;
            for (const Variable& v : options.variables) {
                if (v.input == parsed.variable->input) {
                    return parsed.variable->option + ": " + std::string(inputInfo(v.input).name) + " is already varied";
                }
            }
            options.variables.push_back(std::move(*parsed.variable));
        } else if (name == "--jobs") {
            const auto jobs = parseInteger(value);
            if (!jobs || *jobs < 1 || *jobs > kMostJobs) {
                return "--jobs " + value + ": needs a whole number from 1 to " + std::to_string(kMostJobs);
            }
            options.jobs = static_cast<int>(*jobs);
        } else if (name == "--csv" || name == "--json") {
            if (value.empty()) return name + " needs a file name";
            (name == "--csv" ? options.csv : options.json) = value;
        } else if (name == "--ies-rotation") {
            const auto rotation = parseIesRotation(value);
            if (!rotation) return "--ies-rotation " + value + ": needs an angle in degrees";
            options.iesRotation = *rotation;
        } else if (name == "--shard") {
            ShardParse shard = parseShard(value);
            if (!shard.error.empty()) return shard.error;
            options.shard = shard;
        } else if (name == "--maximise") {
            if (value != "spacing") return "--maximise " + value + ": only spacing can be maximised";
            options.maximise = value;
        }
    }
    if (!options.csv.empty() && options.csv == options.json) return "--csv and --json name the same file";
    if (options.jobs == 0) options.jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return {};
}

std::string countText(std::uint64_t count) {
    return count == std::numeric_limits<std::uint64_t>::max() ? "over 18446744073709551615" : std::to_string(count);
}

// The base installation: the installation file of the current directory.
std::optional<InstallationData> readBase(int& status) {
    std::error_code ec;
    if (!std::filesystem::exists(kInstallationFileName, ec)) {
        status = fileError(std::string("file \"") + kInstallationFileName +
                           "\": does not exist (a sweep starts from the installation file of the current directory)");
        return std::nullopt;
    }
    try {
        return readInstallationFile();
    } catch (const ReadError& error) {
        status = fileError(error.what());
    }
    return std::nullopt;
}

SweepSettings settingsOf(const Options& options) {
    SweepSettings settings;
    settings.iesRotation = options.iesRotation;
    if (options.assessment.assess) {
        settings.assessment = assessment::AssessmentRequest{options.assessment.lightingClass, options.assessment.power,
                                                            options.assessment.profile};
    }
    return settings;
}

std::string variedText(const std::vector<Variable>& variables) {
    std::string text;
    for (const Variable& v : variables) {
        if (!text.empty()) text += ' ';
        text += v.option.substr(std::string("--vary ").size());
    }
    return text;
}

int runSweep(const std::vector<std::string>& arguments) {
    Options options;
    if (const std::string error = parseOptions(arguments, false, options); !error.empty()) return usage("sweep", error);
    if (options.help) {
        std::cout << kSweepHelp;
        return 0;
    }
    if (options.csv.empty()) return usage("sweep", "--csv OUT.csv is needed");
    const std::uint64_t count = Plan({}, options.variables).count();
    if (count > kCountLimit) return usage("sweep", "--vary: " + countText(count) + " combinations, too many to count");
    if (count > kCombinationLimit && !options.force) {
        return usage("sweep", "--vary: " + countText(count) + " combinations, more than " +
                                  std::to_string(kCombinationLimit) + "; add --force to compute them");
    }

    int status = 0;
    const std::optional<InstallationData> base = readBase(status);
    if (!base) return status;
    const Plan plan(*base, options.variables);
    const ShardParse shard = options.shard.value_or(ShardParse{});
    const Slice slice = shardSlice(count, shard.k, shard.n);
    const SweepSettings settings = settingsOf(options);
    const std::vector<std::string> columns = rowColumns(settings);

    std::vector<std::unique_ptr<TableFile>> files;
    try {
        files.push_back(std::make_unique<TableFile>(options.csv, TableFormat::Csv, columns));
        if (!options.json.empty()) {
            const std::vector<std::pair<std::string, TableCell>> head = {
                {"schema", std::string("vesperluminal-sweep/1")},
                {"program", std::string("vesperluminal ") + kProgramVersion},
                {"varied", variedText(options.variables)},
                {"combinations", static_cast<std::int64_t>(count)},
                {"shard", std::to_string(shard.k) + "/" + std::to_string(shard.n)},
                {"first_index", static_cast<std::int64_t>(slice.begin + 1)},
                {"last_index", static_cast<std::int64_t>(slice.end)}};
            files.push_back(std::make_unique<TableFile>(options.json, TableFormat::Json, columns, head));
        }
    } catch (const WriteError& error) {
        return fileError(error.what());
    }

    const CombinationEvaluator evaluator(settings);
    const std::uint64_t total = slice.end - slice.begin;
    ProgressBar bar;
    const auto started = std::chrono::steady_clock::now();
    std::uint64_t written = 0;
    try {
        const StopSignals signals;
        written = runOrdered(
            evaluator, total, options.jobs,
            [&](std::uint64_t k, CombinationEvaluator::Scratch& scratch) -> std::optional<Row> {
                const std::uint64_t index = slice.begin + k;
                return evaluator.evaluate(index, plan.combination(index), scratch, &stopRequested);
            },
            [&](std::uint64_t, Row&& row) {
                const std::vector<TableCell> cells = rowCells(settings, row);
                for (auto& file : files) file->row(cells);
            },
            [&](std::uint64_t done) { bar.show("sweep", done, total); }, stopRequested);
        bar.clear();
        const bool complete = written == total;
        for (auto& file : files) file->finish(complete);
        if (!complete) {
            std::cerr << "vesperluminal: sweep interrupted: " << written << " of " << total << " rows written to "
                      << options.csv << '\n';
            return StopSignals::status();
        }
    } catch (const WriteError& error) {
        bar.clear();
        return fileError(error.what());
    }
    if (bar.enabled()) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cerr << "sweep: " << written << " rows written to " << options.csv << " in " << trimmedNumber(seconds, 1)
                  << " s\n";
    }
    return 0;
}

std::string rangesText(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& ranges) {
    std::string text;
    for (std::size_t k = 0; k < ranges.size() && k < 10; ++k) {
        if (!text.empty()) text += ", ";
        text += std::to_string(ranges[k].first);
        if (ranges[k].second != ranges[k].first) text += "-" + std::to_string(ranges[k].second);
    }
    if (ranges.size() > 10) text += ", ...";
    return text;
}

int runMerge(const std::vector<std::string>& arguments) {
    std::vector<std::string> names;
    for (const std::string& a : arguments) {
        if (a == "--help" || a == "-h") {
            std::cout << kMergeHelp;
            return 0;
        }
        if (a.rfind("--", 0) == 0) return usage("sweep-merge", "unknown option \"" + a + "\"");
        names.push_back(a);
    }
    if (names.size() < 2) return usage("sweep-merge", "needs OUT.csv and at least one part");
    const std::string out = names.front();
    names.erase(names.begin());

    struct Entry {
        std::uint64_t index;
        std::size_t part;
        std::string text;
    };
    std::vector<Entry> entries;
    std::vector<std::string> header;
    for (std::size_t p = 0; p < names.size(); ++p) {
        std::vector<CsvRecord> records;
        try {
            records = readCsvFile(names[p]);
        } catch (const ReadError& error) {
            return fileError(error.what());
        }
        const std::string file = "file \"" + names[p] + "\": ";
        if (records.empty() || records.front().fields.empty() || records.front().fields.front() != "index") {
            return fileError(file + "not a sweep table (its first line does not start with \"index\")");
        }
        if (p == 0) {
            header = records.front().fields;
        } else if (records.front().fields != header) {
            std::cerr << "vesperluminal: " << file << "its columns differ from those of \"" << names[0] << "\"\n";
            return kMergeRefused;
        }
        for (std::size_t r = 1; r < records.size(); ++r) {
            const CsvRecord& record = records[r];
            const std::string where = file + "line " + std::to_string(record.line) + ": ";
            if (record.fields.size() != header.size()) {
                return fileError(where + std::to_string(record.fields.size()) + " fields, the header has " +
                                 std::to_string(header.size()));
            }
            const auto index = parseInteger(record.fields.front());
            if (!index || *index < 1) return fileError(where + "the index \"" + record.fields.front() + "\" is not a combination number");
            entries.push_back({static_cast<std::uint64_t>(*index), p, record.text});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.index < b.index; });
    std::vector<std::pair<std::uint64_t, std::uint64_t>> missing;
    std::uint64_t expected = 1;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (k > 0 && entries[k].index == entries[k - 1].index) {
            std::cerr << "vesperluminal: combination " << entries[k].index << " is in \"" << names[entries[k - 1].part]
                      << "\" and in \"" << names[entries[k].part] << "\": the parts overlap\n";
            return kMergeRefused;
        }
        if (entries[k].index > expected) missing.emplace_back(expected, entries[k].index - 1);
        expected = entries[k].index + 1;
    }
    try {
        TableFile table(out, TableFormat::Csv, header);
        for (const Entry& e : entries) table.rawRecord(e.text);
        table.finish();
    } catch (const WriteError& error) {
        return fileError(error.what());
    }
    if (!missing.empty()) {
        std::cerr << "vesperluminal: " << entries.size() << " rows written to " << out << ", but combinations "
                  << rangesText(missing) << " are missing\n";
        return kMergeRefused;
    }
    return 0;
}

// "height=7.5 surface=C1", the values of the varied inputs of a combination.
std::string combinationLabel(const Plan& others, std::uint64_t index) {
    if (others.variables().empty()) return "the installation";
    std::string label;
    const std::vector<std::size_t> digits = others.digits(index);
    for (std::size_t k = 0; k < digits.size(); ++k) {
        const Variable& v = others.variables()[k];
        const InputValue& value = v.values[digits[k]];
        if (!label.empty()) label += ' ';
        label += std::string(inputInfo(v.input).name) + "=";
        label += inputInfo(v.input).kind == InputKind::Text ? value.text
                 : inputInfo(v.input).kind == InputKind::Integer ? std::to_string(static_cast<long long>(value.number))
                                                                  : fmt::freeReal(value.number);
    }
    return label;
}

int runOptimise(const std::vector<std::string>& arguments) {
    Options options;
    if (const std::string error = parseOptions(arguments, true, options); !error.empty()) return usage("optimise", error);
    if (options.help) {
        std::cout << kOptimiseHelp;
        return 0;
    }
    if (!options.assessment.assess || options.assessment.lightingClass == nullptr) {
        return usage("optimise", "--assess CLASS is needed (one of " + assessment::lightingClassNames() + ")");
    }
    if (options.maximise.empty()) return usage("optimise", "--maximise spacing is needed");

    std::vector<double> scan;
    std::vector<Variable> others;
    for (const Variable& v : options.variables) {
        if (v.input != Input::Spacing) {
            others.push_back(v);
            continue;
        }
        for (const InputValue& value : v.values) {
            if (!(value.number > 0)) return usage("optimise", v.option + ": the spacings scanned must be above 0");
            scan.push_back(twoDecimals(value.number));
        }
    }
    if (scan.empty()) {
        for (int s = 1; s <= 100; ++s) scan.push_back(s);
    }
    std::sort(scan.begin(), scan.end());
    scan.erase(std::unique(scan.begin(), scan.end()), scan.end());
    const std::uint64_t combinations = Plan({}, others).count();
    const std::uint64_t tasks =
        combinations > std::numeric_limits<std::uint64_t>::max() / scan.size() ? combinations : combinations * scan.size();
    if (tasks > kCountLimit || combinations > kCountLimit) {
        return usage("optimise", "--vary: " + countText(combinations) + " combinations, too many to count");
    }
    if ((tasks > kCombinationLimit || combinations > kCombinationLimit) && !options.force) {
        return usage("optimise", "--vary: " + countText(combinations) + " combinations of " + std::to_string(scan.size()) +
                                     " scanned spacings, more than " + std::to_string(kCombinationLimit) +
                                     " runs; add --force to compute them");
    }

    int status = 0;
    const std::optional<InstallationData> base = readBase(status);
    if (!base) return status;
    const Plan plan(*base, others);
    const SweepSettings settings = settingsOf(options);
    const std::string className(options.assessment.lightingClass->name);

    std::vector<std::string> columns = {"index", "result", "lowest_dp"};
    const std::vector<std::string> rowColumnNames = rowColumns(settings);
    columns.insert(columns.end(), rowColumnNames.begin() + 1, rowColumnNames.end());
    std::vector<std::unique_ptr<TableFile>> files;
    try {
        if (!options.csv.empty()) files.push_back(std::make_unique<TableFile>(options.csv, TableFormat::Csv, columns));
        if (!options.json.empty()) {
            const std::vector<std::pair<std::string, TableCell>> head = {
                {"schema", std::string("vesperluminal-optimise/1")},
                {"program", std::string("vesperluminal ") + kProgramVersion},
                {"class", className},
                {"maximise", std::string("spacing")},
                {"varied", variedText(others)},
                {"scan_from_m", scan.front()},
                {"scan_to_m", scan.back()},
                {"scan_spacings", static_cast<std::int64_t>(scan.size())},
                {"refine_step_m", kRefineStep}};
            files.push_back(std::make_unique<TableFile>(options.json, TableFormat::Json, columns, head));
        }
    } catch (const WriteError& error) {
        return fileError(error.what());
    }

    const CombinationEvaluator evaluator(settings);
    ProgressBar bar;
    OptimiseResult result;
    {
        const StopSignals signals;
        result = maximiseSpacing(evaluator, plan, scan, options.jobs, stopRequested,
                                 [&](const char* phase, std::uint64_t done, std::uint64_t total) {
                                     bar.show(std::string("optimise ") + phase, done, total);
                                 });
        bar.clear();
        if (result.interrupted) {
            for (auto& file : files) file->abandon();
            std::cerr << "vesperluminal: optimise interrupted after " << result.evaluations << " runs: nothing written\n";
            return StopSignals::status();
        }
    }

    std::cout << className << ": the largest spacing meeting the class, to " << trimmedNumber(kRefineStep, 1)
              << " m (scanned " << fmt::freeReal(scan.front()) << " to " << fmt::freeReal(scan.back()) << " m, "
              << scan.size() << " spacings; " << result.evaluations << " runs)\n";
    auto figures = [](const Row& row) {
        const RowAssessment& a = *row.assessment;
        return "D_P " + trimmedNumber(a.powerDensity, 5) + " W/(lx m^2), D_E " +
               trimmedNumber(a.annualEnergyConsumption, 2) + " Wh/m^2";
    };
    try {
        for (std::size_t k = 0; k < result.optima.size(); ++k) {
            const Optimum& o = result.optima[k];
            std::string line = "  " + combinationLabel(plan, k) + ": ";
            Row row;
            if (o.row) {
                row = *o.row;
            } else {
                row.installation = o.inputs;
            }
            row.index = k;
            switch (o.kind) {
                case OptimumKind::Found:
                case OptimumKind::TopOfScan:
                    line += "spacing " + fmt::freeReal(o.row->installation.spacing) + " m, " + figures(*o.row);
                    if (o.kind == OptimumKind::TopOfScan) line += " (the largest spacing scanned: a larger one may meet " + className + " too)";
                    break;
                case OptimumKind::None:
                    line += "no scanned spacing meets " + className;
                    row.reason = "no scanned spacing meets " + className;
                    break;
                case OptimumKind::Refused: line += "not computed: " + o.reason; break;
            }
            std::cout << line << '\n';
            std::vector<TableCell> cells = rowCells(settings, row);
            if (o.kind == OptimumKind::None) {
                cells[1] = std::monostate{};  // no row stands for it
                cells[3 + 2] = std::monostate{};  // spacing
            }
            cells.erase(cells.begin());
            const bool lowest = result.lowestDp && *result.lowestDp == k;
            cells.insert(cells.begin(), {static_cast<std::int64_t>(k + 1), std::string(optimumKindName(o.kind)),
                                         std::string(lowest ? "yes" : "")});
            for (auto& file : files) file->row(cells);
        }
        for (auto& file : files) file->finish();
    } catch (const WriteError& error) {
        return fileError(error.what());
    }
    if (result.lowestDp) {
        const Optimum& o = result.optima[*result.lowestDp];
        std::cout << "Lowest D_P: " << combinationLabel(plan, *result.lowestDp) << ", spacing "
                  << fmt::freeReal(o.row->installation.spacing) << " m: " << figures(*o.row) << '\n';
    } else {
        std::cout << "Lowest D_P: none (no combination meets " << className << ")\n";
    }
    return 0;
}

}  // namespace

bool isSweepCommand(std::string_view firstArgument) {
    return firstArgument == "sweep" || firstArgument == "sweep-merge" || firstArgument == "optimise";
}

int runSweepCommand(const std::vector<std::string>& arguments) {
    const std::string command = arguments.empty() ? std::string() : arguments.front();
    const std::vector<std::string> rest(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());
    try {
        if (command == "sweep") return runSweep(rest);
        if (command == "sweep-merge") return runMerge(rest);
        if (command == "optimise") return runOptimise(rest);
    } catch (const std::exception& error) {
        std::cerr << "vesperluminal: " << error.what() << '\n';
        return 3;
    }
    return usage("sweep", "unknown subcommand \"" + command + "\"");
}

}  // namespace vl
