// Entry point: the input form (terminal or scripted), or a single run on a prepared
// installation file.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/assessment_options.hpp"
#include "app/computation_state.hpp"
#include "app/convert.hpp"
#include "app/driver.hpp"
#include "app/folder_lock.hpp"
#include "app/form_handlers.hpp"
#include "app/form_layout.hpp"
#include "app/grid_records.hpp"
#include "app/installation_file.hpp"
#include "app/interruption.hpp"
#include "app/plausibility.hpp"
#include "app/process_stop.hpp"
#include "app/setting_check.hpp"
#include "app/sweep_cli.hpp"
#include "platform/scripted_form.hpp"
#include "readers/text_input.hpp"
#include "writers/streams.hpp"
#ifdef VL_HAVE_TERMINAL
#include "platform/terminal/terminal_form.hpp"
#endif
#ifdef VL_HAVE_PICTURES
#include "writers/pictures/run_pictures.hpp"
#endif

namespace {

constexpr const char* kVersion = "vesperluminal beta 1.6.1";

void printHelp() {
    std::cout << "Usage: vesperluminal [--batch [--strict] [--set ID=TEXT]... [--start]...] [--run] [--json PATH] [--plots DIR]\n"
                 "                    [--assess [CLASS] [--power WATTS] [--hours H | --profile PERIODS]] [--help] [--version]\n"
                 "\n"
                 "Evaluates one straight road lighting installation and the light pollution it causes.\n"
                 "All input and output files are in the current directory.\n"
                 "\n"
                 "  (no option)   the input form in this terminal\n"
                 "  --batch       the form without a screen: the defaults are set and stored, each --set\n"
                 "                changes one field (as if typed), each --start runs one computation and\n"
                 "                prints the report file name\n"
                 "  --set ID=TEXT field id 1001..1021 or one of: flux width spacing overhang tilt height\n"
                 "                maintenance surface photometry grid\n"
                 "  --start       press \"Start computation\"\n"
                 "  --strict      a --set whose text is not taken whole is an error: nothing is run\n"
                 "                (without it, standard error says what was stored instead)\n"
                 "  --run         one computation on the input_nocturne.dat already present (no form)\n"
                 "  --json PATH   with --run or --batch: every figure of each run as JSON in PATH (each\n"
                 "                run replaces it)\n"
                 "  --ies-rotation DEG  an IES photometry is read with C = H + DEG (default 90, so that\n"
                 "                its street side H = 0 lies across the road)\n"
                 "  --plots DIR   with --run or --batch: every map, the polar intensity diagram and the\n"
                 "                upward light curves as PNG and SVG in DIR, with DIR/index.html; in the\n"
                 "                form, F5 draws them for the last run (into DIR, or plots/)\n"
                 "  --assess [CLASS]  with --run or --batch: check each run against a lighting class\n"
                 "                (M1..M6, C0..C5, P1..P6), or find the highest class of each series;\n"
                 "                writes assessment_<stamp>.txt beside the report (and into --json)\n"
                 "  --power WATTS system power per luminaire for the energy indicators (default: the\n"
                 "                photometry's declared wattage scaled to the lamp flux)\n"
                 "  --hours H     yearly hours at full power (0..8760, default 4000)\n"
                 "  --profile \"H1@P1,H2@P2,...\"  yearly hours at percent of full power\n"
                 "  --help        this text\n"
                 "  --version     the version\n"
                 "\n"
                 "Warnings about inputs that no real installation has go to standard error; the run goes on.\n"
                 "VESPERLUMINAL_CLOCK=ccyymmddhhmmss fixes the date and time a run reads.\n"
                 "Many runs: vesperluminal sweep | sweep-merge | optimise (each with --help).\n"
                 "Photometry files: vesperluminal convert IN OUT (Eulumdat .ldt <-> IES .ies; --help).\n";
}

int fieldId(const std::string& name) {
    static const std::map<std::string, int> aliases = {
        {"flux", 1001},   {"width", 1002},       {"spacing", 1006}, {"overhang", 1005},   {"tilt", 1008},
        {"height", 1009}, {"maintenance", 1011}, {"surface", 1012}, {"photometry", 1010}, {"grid", 1021}};
    auto it = aliases.find(name);
    if (it != aliases.end()) return it->second;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || name.size() > 5) return -1;
    const int id = std::stoi(name);
    return id >= 1001 && id <= 1021 ? id : -1;
}

// The name a --set uses for a field: its alias, or its number.
std::string fieldName(int id) {
    static const std::map<int, std::string> names = {
        {1001, "flux"},   {1002, "width"},       {1006, "spacing"}, {1005, "overhang"},   {1008, "tilt"},
        {1009, "height"}, {1011, "maintenance"}, {1012, "surface"}, {1010, "photometry"}, {1021, "grid"}};
    auto it = names.find(id);
    return it == names.end() ? std::to_string(id) : it->second;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    return text;
}

// "wrong input grid choice" on the Console; standard error adds what would have been valid.
void explainGridChoice() {
    std::string choice = "the grid choice";
    try {
        choice = "grid choice " + std::to_string(vl::readInstallationFile().gridChoice);
    } catch (const vl::ProcessStop&) {
    }
    const auto records = vl::peekGridRecords(vl::kGridFileName);
    std::cerr << "vesperluminal: " << choice << " is not one of 1 to 9; " << vl::kGridFileName
              << " holds the records " << vl::recordNumberList(records) << '\n';
}

int usageError(const std::string& message) {
    std::cerr << "vesperluminal: " << message << "\n(see vesperluminal --help)\n";
    return 64;
}

bool terminalActive = false;

void restore() {
#ifdef VL_HAVE_TERMINAL
    if (terminalActive) vl::platform::restoreTerminal();
#endif
}

// One process at a time in the folder: a run (or a whole --batch) holds it from start to end.
class WholeProcessHold {
public:
    WholeProcessHold() {
        vl::installInterruptHandlers();
        if (!hold_.held()) hold_.stop();
    }

private:
    vl::FolderHold hold_;
};

int run(int argc, char** argv) {
    vl::setReadWarningSink([](const std::string& text) { vl::writeWarning(text); });
#ifdef VL_HAVE_PICTURES
    vl::state().options.drawPictures = [](const vl::RunInputs& in, const vl::RunResult& result,
                                          const vl::assessment::RunAssessment* assessed, const std::string& folder) {
        const vl::ComputationState& s = vl::state();
        try {
            vl::pictures::writeRunPictures(in, result, {s.run.runStamp, s.run.reportName, assessed}, folder);
        } catch (const vl::pictures::PictureFileError& error) {
            return error.file() + "\t" + error.kind();
        }
        return std::string();
    };
#endif
    vl::AssessmentArguments assessment = vl::parseAssessmentArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!assessment.ok()) return usageError(assessment.usageError);
    vl::state().options.assessment = assessment.options;
    const std::vector<std::string>& args = assessment.otherArguments;
    bool batch = false;
    bool single = false;
    bool strict = false;
    vl::platform::Script script;
    script.startButton = vl::kStartButton;
    script.resultField = vl::kReportNameField;
    script.print = [](const std::string& text) { std::cout << text << '\n' << std::flush; };
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--help" || a == "-h") {
            printHelp();
            return 0;
        }
        if (a == "--version") {
            std::cout << kVersion << '\n';
            return 0;
        }
        if (a == "--batch") {
            batch = true;
        } else if (a == "--run") {
            single = true;
        } else if (a == "--json" || a.rfind("--json=", 0) == 0 || a == "--plots" || a.rfind("--plots=", 0) == 0) {
            const bool json = a.rfind("--json", 0) == 0;
            const std::string option = json ? "--json" : "--plots";
            std::string path;
            if (a == option) {
                if (k + 1 >= args.size()) return usageError(option + (json ? " needs a file name" : " needs a folder"));
                path = args[++k];
            } else {
                path = a.substr(option.size() + 1);
            }
            if (path.empty()) return usageError(option + (json ? " needs a file name" : " needs a folder"));
            if (json) {
                vl::state().options.jsonPath = path;
            } else {
                if (!vl::state().options.drawPictures) {
                    return usageError("--plots: this program was built without its pictures; install cairo "
                                      "(Debian: tools/setup.sh, or apt-get install pkg-config libcairo2-dev "
                                      "fonts-dejavu-core) and build again");
                }
                vl::state().options.plotsFolder = path;
            }
        } else if (a == "--ies-rotation" || a.rfind("--ies-rotation=", 0) == 0) {
            std::string text;
            if (a == "--ies-rotation") {
                if (k + 1 >= args.size()) return usageError("--ies-rotation needs an angle in degrees");
                text = args[++k];
            } else {
                text = a.substr(15);
            }
            const auto rotation = vl::parseIesRotation(text);
            if (!rotation) return usageError("--ies-rotation takes an angle in degrees, not \"" + text + "\"");
            vl::state().options.iesRotation = *rotation;
        } else if (a == "--strict") {
            strict = true;
        } else if (a == "--start") {
            script.actions.push_back({vl::platform::ScriptAction::Kind::Start, 0, {}});
        } else if (a == "--set" || a.rfind("--set=", 0) == 0) {
            std::string setting;
            if (a == "--set") {
                if (k + 1 >= args.size()) return usageError("--set needs ID=TEXT");
                setting = args[++k];
            } else {
                setting = a.substr(6);
            }
            const auto eq = setting.find('=');
            if (eq == std::string::npos) return usageError("--set needs ID=TEXT, not \"" + setting + "\"");
            const int id = fieldId(setting.substr(0, eq));
            if (id < 0) return usageError("unknown field \"" + setting.substr(0, eq) + "\"");
            script.actions.push_back({vl::platform::ScriptAction::Kind::Set, id, setting.substr(eq + 1)});
        } else {
            return usageError("unknown option \"" + a + "\"");
        }
    }
    if (!vl::state().options.jsonPath.empty() && !batch && !single) return usageError("--json goes with --run or --batch");
    if (!vl::state().options.plotsFolder.empty() && !batch && !single) return usageError("--plots goes with --run or --batch");
    if (assessment.options.assess && !batch && !single) return usageError("--assess goes with --run or --batch");
    if (single) {
        if (batch || !script.actions.empty()) return usageError("--run takes no other option");
        const WholeProcessHold hold;
        std::string reportName(40, ' ');
        vl::runComputation(reportName);
        return 0;
    }
    if (!batch && (!script.actions.empty() || strict)) return usageError("--set, --start and --strict go with --batch");
    if (batch) {
        // Each --set is checked against what its field takes: an error with --strict (nothing
        // is run), otherwise a warning naming what was stored.
        bool refused = false;
        for (const auto& action : script.actions) {
            if (action.kind != vl::platform::ScriptAction::Kind::Set) continue;
            const auto problems = vl::settingProblems(action.id, action.text);
            if (problems.empty()) continue;
            const std::string setting = "--set " + fieldName(action.id) + "=" + action.text;
            if (strict) {
                std::cerr << "vesperluminal: " << setting << ": not taken whole: " << joined(problems) << '\n';
                refused = true;
            } else if (!vl::isInputField(action.id)) {
                std::cerr << "vesperluminal: warning: " << setting << ": " << joined(problems) << '\n';
            }
        }
        if (refused) {
            std::cerr << "vesperluminal: nothing was run (--strict)\n";
            return 64;
        }
        const WholeProcessHold hold;
        vl::platform::ScriptedToolkit scripted(script);
        auto toolkit = vl::notifyingToolkit(scripted, [](vl::platform::Form& form, int id) {
            const std::string typed = form.text(id);
            const auto problems = vl::settingProblems(id, typed);
            if (problems.empty()) return;
            std::cerr << "vesperluminal: warning: --set " << fieldName(id) << "=" << typed
                      << ": not taken whole: " << joined(problems) << "; input_nocturne.dat holds "
                      << vl::storedColumn(id, vl::formInstallation()) << '\n' << std::flush;
        });
        vl::runInputForm(*toolkit);
        return 0;
    }
#ifdef VL_HAVE_TERMINAL
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        auto toolkit = vl::platform::makeTerminalToolkit();
        // The status line shows the warnings; standard error would write over the screen.
        vl::setWarningSink([](std::string_view text) { vl::noteFormWarning(text); });
        // A signal during a run or a write of the installation file stops it at its next
        // safe point; otherwise the form restores the terminal and ends at once.
        vl::platform::setInterruptDeferral(&vl::deferInterrupt);
        terminalActive = true;
        vl::runInputForm(*toolkit);
        restore();
        terminalActive = false;
        return 0;
    }
    std::cerr << "vesperluminal: the input form needs a terminal; use --batch (see --help)\n";
#else
    std::cerr << "vesperluminal: this build has no input form: the ncurses headers were missing when it was\n"
                 "built. Install them (Debian: apt-get install libncurses-dev, or run tools/setup.sh) and\n"
                 "build again; meanwhile --batch and --run work (see --help).\n";
#endif
    return 64;
}

// The end of every process: the run's files closed and standard output flushed, each
// checked (a full disk is never a success), and the status of an interruption.
int finish(int status) {
    const std::function<void()> closes[] = {vl::closeRunFiles, vl::flushStandardOutput};
    for (const auto& close : closes) {
        try {
            close();
        } catch (const vl::WriteError& error) {
            restore();
            const std::string name =
                error.fileName() == "standard output" ? error.fileName() : "file \"" + error.fileName() + "\"";
            std::cerr << "vesperluminal: " << vl::terminalSafe(name) << ": " << error.kind() << '\n';
            if (status == 0 || status == 1) status = 2;
        }
    }
    if (status == 0 && vl::interrupted()) {
        std::cerr << "vesperluminal: interrupted (" << vl::interruptName() << ")\n";
        status = vl::interruptStatus();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // Many runs in one process: sweep, sweep-merge, optimise.
    if (argc > 1 && vl::isSweepCommand(argv[1])) return vl::runSweepCommand(std::vector<std::string>(argv + 1, argv + argc));
    if (argc > 1 && std::string(argv[1]) == "convert") return vl::runConvertCommand(std::vector<std::string>(argv + 2, argv + argc));
    int status = 0;
    try {
        status = run(argc, argv);
    } catch (const vl::ProcessStop& stop) {
        restore();
        std::cout.flush();
        if (terminalActive && !stop.consoleMessage.empty()) std::cout << ' ' << stop.consoleMessage << '\n';
        if (!stop.errorMessage.empty()) std::cerr << stop.errorMessage << '\n';
        if (stop.status == 1 && stop.consoleMessage == "wrong input grid choice") explainGridChoice();
        status = stop.status;
    } catch (const std::exception& error) {
        restore();
        std::cout.flush();
        std::cerr << "vesperluminal: " << error.what() << '\n';
        status = 3;
    }
    return finish(status);
}
