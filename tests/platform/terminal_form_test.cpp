// The terminal form driven through tmux: keys in, screen captures out.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

bool haveTmux() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

// One tmux server of its own, holding one pane that runs the program in a directory.
class Pane {
public:
    Pane(const fs::path& dir, int columns, int rows) {
        static int counter = 0;
        socket_ = "vl_term_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        // The shell notes the tty modes before and after, then the exit status.
        const std::string script = "cd " + quoted(dir.string()) + " && s0=$(stty -g); " + quoted(VL_PROGRAM_PATH) +
                                   "; rc=$?; s1=$(stty -g); [ \"$s0\" = \"$s1\" ] && echo VL-TTY-SAME; "
                                   "echo VL-EXIT=$rc; sleep 120";
        started_ = std::system((tmux() + " -f /dev/null new-session -d -x " + std::to_string(columns) + " -y " +
                                std::to_string(rows) + " -s vl " + quoted(script))
                                   .c_str()) == 0;
    }
    ~Pane() { std::system((tmux() + " kill-server >/dev/null 2>&1").c_str()); }
    Pane(const Pane&) = delete;
    Pane& operator=(const Pane&) = delete;

    bool started() const { return started_; }
    std::string screen() const { return commandOutput(tmux() + " capture-pane -p -t vl"); }
    void keys(const std::string& names) const { std::system((tmux() + " send-keys -t vl " + names).c_str()); }
    void type(const std::string& text) const {
        std::system((tmux() + " send-keys -t vl -l " + quoted(text)).c_str());
    }
    int shellPid() const {
        const std::string out = commandOutput(tmux() + " display-message -p -t vl '#{pane_pid}'");
        return std::atoi(out.c_str());
    }
    // Waits (bounded) until the screen satisfies the test; the last capture stays in last().
    bool waitFor(const std::function<bool(const std::string&)>& test, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            last_ = screen();
            if (test(last_)) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(100ms);
        }
    }
    bool waitForText(const std::string& text, std::chrono::milliseconds limit) {
        return waitFor([&](const std::string& s) { return s.find(text) != std::string::npos; }, limit);
    }
    const std::string& last() const { return last_; }

private:
    std::string tmux() const { return "tmux -L " + socket_; }
    std::string socket_;
    std::string last_;
    bool started_ = false;
};

std::string installationLine() {
    std::ifstream in("input_nocturne.dat");
    std::string line;
    std::getline(in, line);
    return line;
}

bool waitForFile(const std::function<bool(const std::string&)>& test, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!test(installationLine())) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

#define REQUIRE_TMUX()                                                                  \
    if (!haveTmux()) GTEST_SKIP() << "tmux is not installed (apt-get install -y tmux)"; \
    do {                                                                                \
    } while (false)

bool formShown(const std::string& s) {
    return s.find("Lamp flux (klm)") != std::string::npos && s.find("[6.5") != std::string::npos;
}

TEST(TerminalForm, DefaultsEditRunAndClose) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    Pane pane(dir.path(), 160, 50);
    ASSERT_TRUE(pane.started());
    if (!pane.waitFor(formShown, 15s)) {
        if (pane.last().find("has no input form") != std::string::npos) GTEST_SKIP() << "built without the terminal form";
        FAIL() << "no form on screen:\n" << pane.last();
    }
    const std::string screen = pane.last();
    for (const char* expected : {"version beta 1.6.1", "Vesperluminal", "Input data", "[6.5", "[7.0", "[24.0", "[2.5",
                                 "[0.  ", "[0.8", "[C2", "[1  ", "[eulumdat.ldt]", "< Start computation >", "[ Close ]",
                                 "Please wait until the name", "Road lighting and light pollution", "Esc: close"}) {
        EXPECT_NE(screen.find(expected), std::string::npos) << expected << "\n" << screen;
    }
    EXPECT_EQ(screen.find("&version"), std::string::npos);
    // The defaults were stored before the form showed.
    EXPECT_EQ(installationLine().substr(0, 7), "   6.50");

    // The lamp flux field has the focus, its cursor after the text.
    pane.keys("BSpace BSpace BSpace");
    pane.type("12.5");
    EXPECT_TRUE(waitForFile([](const std::string& l) { return l.substr(0, 7) == "  12.50"; }, 5s)) << installationLine();
    ASSERT_TRUE(pane.waitForText("[12.5", 5s)) << pane.last();
    // Left, Delete and End edit inside the field: 12.5 -> 1.5 -> 1.75 (every change stored).
    pane.keys("Left Left Left Left Right DC");
    EXPECT_TRUE(waitForFile([](const std::string& l) { return l.substr(0, 7) == "   1.50"; }, 5s)) << installationLine();
    pane.keys("End BSpace");
    pane.type("75");
    EXPECT_TRUE(waitForFile([](const std::string& l) { return l.substr(0, 7) == "   1.75"; }, 5s)) << installationLine();

    // Enter on an edit presses Start; the report name shows in its field.
    pane.keys("Enter");
    // "[report_nocturne_" + 12 digits + ".doc]" in field 1013.
    auto reportName = [](const std::string& screen) -> std::string {
        const std::string prefix = "[report_nocturne_";
        for (auto at = screen.find(prefix); at != std::string::npos; at = screen.find(prefix, at + 1)) {
            const std::string name = screen.substr(at + 1, 32);
            const std::string digits = name.substr(16, 12);
            if (name.size() == 32 && digits.find_first_not_of("0123456789") == std::string::npos &&
                name.substr(28) == ".doc" && screen.compare(at + 33, 1, "]") == 0) {
                return name;
            }
        }
        return {};
    };
    ASSERT_TRUE(pane.waitFor([&](const std::string& s) { return !reportName(s).empty(); }, 90s)) << pane.last();
    const std::string after = pane.last();
    const std::string name = reportName(after);
    EXPECT_TRUE(fs::exists(dir.path() / name)) << name;
    // The console pane at the left showed the run.
    EXPECT_NE(after.find("Computation completed"), std::string::npos) << after;
    EXPECT_NE(after.find("Output data written in file:"), std::string::npos) << after;

    pane.keys("Escape");
    ASSERT_TRUE(pane.waitForText("VL-EXIT=0", 10s)) << pane.last();
    EXPECT_NE(pane.last().find("VL-TTY-SAME"), std::string::npos) << pane.last();
    EXPECT_EQ(pane.last().find("Lamp flux (klm)"), std::string::npos) << "the form stayed on screen";
}

TEST(TerminalForm, CompactScreenAndWrongGridStop) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    Pane pane(dir.path(), 80, 24);
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitFor(formShown, 15s)) << pane.last();
    EXPECT_NE(pane.last().find("Computational grid"), std::string::npos) << pane.last();
    EXPECT_NE(pane.last().find("F2: console"), std::string::npos) << pane.last();

    // Too narrow for both: F2 shows the console, F2 again the form.
    pane.keys("F2");
    ASSERT_TRUE(pane.waitForText("F2: the form", 5s)) << pane.last();
    EXPECT_EQ(pane.last().find("Lamp flux (klm)"), std::string::npos);
    pane.keys("F2");
    ASSERT_TRUE(pane.waitFor(formShown, 5s)) << pane.last();

    // Down and Up move between controls; Tab nine times from the lamp flux reaches the grid.
    pane.keys("Down Up");
    for (int k = 0; k < 9; ++k) pane.keys("Tab");
    pane.keys("BSpace");
    pane.type("12");
    EXPECT_TRUE(waitForFile([](const std::string& l) { return l.size() > 55 && l.substr(52, 3) == " 12"; }, 5s))
        << installationLine();
    pane.keys("Enter");
    ASSERT_TRUE(pane.waitForText("VL-EXIT=1", 30s)) << pane.last();
    const std::string screen = pane.last();
    EXPECT_NE(screen.find("wrong input grid choice"), std::string::npos) << screen;
    EXPECT_NE(screen.find("VL-TTY-SAME"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Lamp flux (klm)"), std::string::npos) << screen;
}

// At 80 x 24 the report field is too narrow for the name: the status line shows it whole.
// A warning about the inputs shows there while they are typed.
TEST(TerminalForm, StatusLineShowsWarningsAndTheWholeReportName) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);  // the pane's server starts with it
    Pane pane(dir.path(), 80, 24);
    ::unsetenv("VESPERLUMINAL_CLOCK");
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitFor(formShown, 15s)) << pane.last();
    pane.keys("BSpace BSpace BSpace");
    pane.type("0");
    ASSERT_TRUE(pane.waitForText("Warning: lamp flux 0 klm is not above 0", 5s)) << pane.last();
    pane.keys("BSpace");
    pane.type("6.5");
    ASSERT_TRUE(pane.waitFor([](const std::string& s) { return s.find("Warning:") == std::string::npos; }, 5s))
        << pane.last();
    pane.keys("Enter");
    EXPECT_TRUE(pane.waitForText(" Report: report_nocturne_202601011200.doc", 90s)) << pane.last();
    pane.keys("Escape");
    ASSERT_TRUE(pane.waitForText("VL-EXIT=0", 10s)) << pane.last();
}

TEST(TerminalForm, TerminationSignalRestoresTerminal) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    Pane pane(dir.path(), 100, 30);
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitFor(formShown, 15s)) << pane.last();
    const int shell = pane.shellPid();
    ASSERT_GT(shell, 0);
    const std::string children = vl::test::readFile("/proc/" + std::to_string(shell) + "/task/" +
                                                    std::to_string(shell) + "/children");
    const int program = std::atoi(children.c_str());
    if (program <= 0) GTEST_SKIP() << "cannot find the program's process id";
    ASSERT_EQ(kill(program, SIGTERM), 0);
    ASSERT_TRUE(pane.waitForText("VL-EXIT=143", 10s)) << pane.last();
    EXPECT_NE(pane.last().find("VL-TTY-SAME"), std::string::npos) << pane.last();
    EXPECT_EQ(pane.last().find("Lamp flux (klm)"), std::string::npos) << pane.last();
}

// A signal while the form computes stops the run at its next safe point: its report says that
// it is incomplete, and the terminal is restored.
TEST(TerminalForm, SignalDuringARunMarksItsFilesAndRestoresTerminal) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);
    Pane pane(dir.path(), 100, 30);
    ::unsetenv("VESPERLUMINAL_CLOCK");
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitFor(formShown, 15s)) << pane.last();
    for (int k = 0; k < 9; ++k) pane.keys("Tab");
    pane.keys("BSpace");
    pane.type("9");  // the finest grid: seconds of computation
    ASSERT_TRUE(waitForFile([](const std::string& l) { return l.size() > 55 && l.substr(52, 3) == "  9"; }, 5s))
        << installationLine();
    pane.keys("Enter");
    const fs::path report = dir.path() / "report_nocturne_202601011200.doc";
    ASSERT_TRUE(pane.waitFor([&](const std::string&) { return fs::exists(report); }, 30s)) << pane.last();
    const int shell = pane.shellPid();
    const int program = std::atoi(
        vl::test::readFile("/proc/" + std::to_string(shell) + "/task/" + std::to_string(shell) + "/children").c_str());
    if (program <= 0) GTEST_SKIP() << "cannot find the program's process id";
    ASSERT_EQ(kill(program, SIGTERM), 0);
    ASSERT_TRUE(pane.waitForText("VL-EXIT=143", 30s)) << pane.last();
    EXPECT_NE(pane.last().find("VL-TTY-SAME"), std::string::npos) << pane.last();
    const std::string text = vl::test::readFile(report);
    EXPECT_NE(text.find(" Run interrupted (SIGTERM): the results of this run are incomplete\n"), std::string::npos)
        << text.substr(text.size() > 400 ? text.size() - 400 : 0);
}

TEST(TerminalForm, TinyTerminalSaysWhatItNeeds) {
    REQUIRE_TMUX();
    vl::test::ScratchDir dir;
    dir.copyAllBundled();
    Pane pane(dir.path(), 50, 16);
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitForText("needs at least", 15s)) << pane.last();
    EXPECT_NE(pane.last().find("60 x 21"), std::string::npos) << pane.last();
    pane.keys("C-q");
    ASSERT_TRUE(pane.waitForText("VL-EXIT=0", 10s)) << pane.last();
    EXPECT_NE(pane.last().find("VL-TTY-SAME"), std::string::npos) << pane.last();
}

}  // namespace
