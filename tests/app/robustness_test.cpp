// Faults at the level of the process, run end to end: two processes in one folder, links
// planted at written names, a full disk, inputs that are not files, tables with values left
// over, control bytes bound for a terminal, results that are not finite, missing inputs
// named with a path, and a signal in the middle of a run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/test_support.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::readFile;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct ShellRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command ($VL is the program) with standard input empty; its standard output
// and error are kept outside the current folder.
ShellRun shell(const std::string& command) {
    const fs::path base = fs::temp_directory_path() / ("vl_robust_" + std::to_string(::getpid()));
    const std::string script = "export VL='" + std::string(VL_PROGRAM_PATH) + "'; { " + command + "; } < /dev/null > '" +
                               base.string() + ".out' 2> '" + base.string() + ".err'";
    const int raw = std::system(script.c_str());
    ShellRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(base.string() + ".out"),
                 readFile(base.string() + ".err")};
    fs::remove(base.string() + ".out");
    fs::remove(base.string() + ".err");
    return run;
}

std::set<std::string> folderListing() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.insert(entry.path().filename().string());
    return names;
}

std::string lastLine(const std::string& text) {
    const std::string body = text.substr(0, text.find_last_not_of('\n') + 1);
    return body.substr(body.rfind('\n') + 1);
}

// The echo of the lamp flux in the report.
std::string fluxEcho(const std::string& value) {
    std::string line = " lamp flux (klm)";
    line.resize(51, ' ');
    return line + value;
}

// A folder outside the working folder, removed at the end.
struct OutsideFolder {
    fs::path path = fs::temp_directory_path() / ("vl_outside_" + std::to_string(::getpid()));
    OutsideFolder() { fs::create_directories(path); }
    ~OutsideFolder() { fs::remove_all(path); }
};

TEST(Robustness, TwoRunsInOneFolderTakeTurnsAndAHeldFolderIsRefusedNamingItsHolder) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    std::set<std::string> expected = folderListing();
    // Started together, each with its own installation and minute: each report holds its own.
    const auto run = [](const char* clock, const char* flux, const char* name) {
        return std::string("(VESPERLUMINAL_CLOCK=") + clock + " \"$VL\" --batch --set flux=" + flux + " --start > " +
               name + ".out 2> " + name + ".err; echo $? > " + name + ".status)";
    };
    shell(run("20260101120000", "5", "a") + " & " + run("20260101130000", "9", "b") + " & wait");
    for (const auto& [name, report, flux] : {std::tuple{"a", "report_nocturne_202601011200.doc", "  5.000"},
                                             std::tuple{"b", "report_nocturne_202601011300.doc", "  9.000"}}) {
        EXPECT_EQ(readFile(std::string(name) + ".status"), "0\n") << readFile(std::string(name) + ".err");
        EXPECT_TRUE(has(readFile(report), fluxEcho(flux) + "\n")) << name;
        for (const char* suffix : {".out", ".err", ".status"}) fs::remove(std::string(name) + suffix);
    }
    // Exactly the files of two runs: no lock file, no temporary file.
    expected.insert("input_nocturne.dat");
    for (const char* stamp : {"202601011200", "202601011300"}) {
        for (const char* prefix : {"report_nocturne_", "outdat_nocturne_"}) expected.insert(prefix + std::string(stamp) + ".doc");
        for (const char* prefix : {"uplmp_", "uproa_", "uptot_", "upro2_", "upto2_"}) {
            expected.insert(prefix + std::string(stamp) + ".dat");
        }
    }
    EXPECT_EQ(folderListing(), expected);

    // A folder held by another process (this one): the run waits, then refuses naming it.
    const int folder = ::open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    const ShellRun refused = shell("\"$VL\" --run");
    const auto waited = std::chrono::steady_clock::now() - start;
    ::close(folder);
    EXPECT_EQ(refused.status, 2);
    EXPECT_GE(waited, 4500ms);
    EXPECT_TRUE(has(refused.err, "\": in use by process " + std::to_string(::getpid()) + " (")) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(folderListing(), expected);
}

TEST(Robustness, LinksAtWrittenNamesAreNeverWrittenThrough) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    OutsideFolder outside;
    for (const char* name : {"tmp", "input", "report"}) {
        std::ofstream(outside.path / name) << "keep";
    }
    fs::create_symlink(outside.path / "tmp", "input_nocturne.dat.tmp");  // the temporary name of old
    fs::create_symlink(outside.path / "input", "input_nocturne.dat");
    fs::create_symlink(outside.path / "report", "report_nocturne_202601011200.doc");
    const ShellRun run = shell("VESPERLUMINAL_CLOCK=20260101120000 \"$VL\" --batch --set flux=5 --start");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vesperluminal: file \"report_nocturne_202601011200.doc\": cannot be created: it is a symbolic "
                       "link, which is not written through\n");
    for (const char* name : {"tmp", "input", "report"}) EXPECT_EQ(readFile(outside.path / name), "keep") << name;
    // The installation file replaced the link; no temporary file stays.
    EXPECT_FALSE(fs::is_symlink("input_nocturne.dat"));
    EXPECT_EQ(readFile("input_nocturne.dat").substr(0, 7), "   5.00");
    for (const std::string& name : folderListing()) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

// The free blocks of the file system holding the current folder.
std::uintmax_t freeBlocks(std::uintmax_t& blockSize) {
    struct statvfs info {};
    ::statvfs(".", &info);
    blockSize = info.f_frsize;
    return info.f_bavail;
}

TEST(Robustness, AFullDiskOrARefusingStandardOutputIsNeverASuccess) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const ShellRun refusing = shell("\"$VL\" --batch --start > /dev/full");
    EXPECT_EQ(refusing.status, 2);
    EXPECT_TRUE(has(refusing.err, "vesperluminal: standard output: write failed: No space left on device\n"))
        << refusing.err;

    // A small file system that fills up exactly at the last block of the data file, the last
    // file of the run.
    const ShellRun sizes = shell("VESPERLUMINAL_CLOCK=20260101120000 \"$VL\" --batch --start");
    ASSERT_EQ(sizes.status, 0);
    const std::uintmax_t report = fs::file_size("report_nocturne_202601011200.doc");
    const std::uintmax_t data = fs::file_size("outdat_nocturne_202601011200.doc");
    OutsideFolder small;
    if (std::system(("mount -t tmpfs -o size=4m tmpfs '" + small.path.string() + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (it needs root): the full-disk case is not run";
    }
    struct Unmount {
        fs::path path;
        fs::path back;
        ~Unmount() {
            fs::current_path(back);
            std::system(("umount '" + path.string() + "'").c_str());
        }
    } unmount{small.path, dir.path()};
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("report_", 0) != 0 && name.rfind("outdat_", 0) != 0 && name != "input_nocturne.dat") {
            fs::copy_file(entry.path(), small.path / name);
        }
    }
    fs::current_path(small.path);
    std::uintmax_t block = 0;
    freeBlocks(block);
    const auto blocks = [&](std::uintmax_t bytes) { return (bytes + block - 1) / block; };
    const int filler = ::open("filler", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(filler, 0);
    std::uintmax_t fill = 0;
    const auto leaveFree = [&](std::uintmax_t wanted) {
        std::uintmax_t size = 0;
        fill += (freeBlocks(size) - wanted) * block;
        ASSERT_EQ(::posix_fallocate(filler, 0, static_cast<off_t>(fill)), 0);
        ASSERT_EQ(freeBlocks(size), wanted);
    };
    // Room for the report, the data file and the installation file: complete.
    leaveFree(blocks(report) + blocks(data) + 1);
    ShellRun run = shell("VESPERLUMINAL_CLOCK=20260101120000 \"$VL\" --batch --start");
    ASSERT_EQ(run.status, 0) << run.err;
    // One block less: the run fails at its very end, naming the file.
    fs::remove("report_nocturne_202601011200.doc");
    fs::remove("outdat_nocturne_202601011200.doc");
    leaveFree(blocks(report) + blocks(data) - 1);
    run = shell("VESPERLUMINAL_CLOCK=20260101120000 \"$VL\" --batch --start");
    ::close(filler);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "vesperluminal: file \"outdat_nocturne_202601011200.doc\": write failed: No space left on device\n");
    EXPECT_FALSE(has(run.out, "Computation completed"));
}

TEST(Robustness, InputsThatAreNotFilesOrTooLargeAreRefusedAtOnce) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    ASSERT_EQ(::mkfifo("pipe.ldt", 0644), 0);
    fs::create_symlink("/dev/zero", "zero.ldt");
    fs::create_directory("folder.ldt");
    std::ofstream("huge.ldt").close();
    fs::resize_file("huge.ldt", std::uintmax_t{100} << 20);  // sparse: nothing is written
    const std::pair<const char*, const char*> cases[] = {
        {"pipe.ldt", "is a named pipe, not a file"},
        {"zero.ldt", "is a character device, not a file"},
        {"folder.ldt", "is a directory, not a file"},
        {"huge.ldt", "holds 104857600 bytes, more than any input of this program (64 MiB): it was not read"},
    };
    for (const auto& [name, kind] : cases) {
        const ShellRun run = shell(std::string("timeout 60 \"$VL\" --batch --set photometry=") + name + " --start");
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.err, "vesperluminal: file \"" + std::string(name) + "\": " + kind + "\n");
    }
    for (const std::string& name : folderListing()) EXPECT_NE(name.rfind("report_", 0), 0u) << "before output";
}

TEST(Robustness, TablesWithValuesLeftOverAreNamedOnStandardError) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const ShellRun good = shell("\"$VL\" --batch --start");
    // One tan gamma value too many (after line 65), 20 points on the aged asphalt curve.
    auto insertLine = [](const std::string& name, std::size_t after, const std::string& line) {
        std::string text = readFile(name);
        std::size_t at = 0;
        for (std::size_t k = 0; k < after; ++k) at = text.find('\n', at) + 1;
        text.insert(at, line + "\n");
        std::ofstream(name, std::ios::binary) << text;
    };
    insertLine("SRT_C2", 65, "12.5");
    insertLine("asphalt1_reflectance.dat", 22, "95.0");
    const ShellRun run = shell("\"$VL\" --batch --start");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "vesperluminal: warning: file \"SRT_C2\": line 646: the table holds more values than its "
                       "counts call for (20 beta, 29 tan gamma and 580 r values): values are left over from this "
                       "line on, and those read may be shifted\n"
                       "vesperluminal: warning: file \"asphalt1_reflectance.dat\": line 42: the table holds more "
                       "values than its counts call for (19 x and 19 y values): values are left over from this line "
                       "on, and those read may be shifted\n");
    EXPECT_FALSE(has(run.out, "left over"));
    EXPECT_NE(run.out, good.out);  // the shifted values are computed as read
}

TEST(Robustness, ControlBytesReachATerminalAsQuestionMarksAndFilesAsTheyStand) {
    EXPECT_EQ(terminalSafe("a\x1b[2Jb\tc\r\x7f|\xc2\x9b|\x9b|\xc3\xa9|\xc2\xa0|\xe2\x82\xac|\xff"),
              "a?[2Jb?c??|?|?|\xc3\xa9|\xc2\xa0|\xe2\x82\xac|\xff");
    test::ScratchDir dir;
    dir.copyAllBundled();
    std::string ldt = readFile("eulumdat.ldt");
    const std::string title = "\x1b]0;owned\x07Luminaire \x1b[2J";
    ldt.replace(0, ldt.find('\n'), title);
    std::ofstream("eulumdat.ldt", std::ios::binary) << ldt;
    const ShellRun plain = shell("VESPERLUMINAL_CLOCK=20260101120000 \"$VL\" --batch --start");
    EXPECT_EQ(plain.status, 0);
    EXPECT_TRUE(has(plain.out, title));  // not a terminal: the bytes as they stand
    EXPECT_TRUE(has(readFile("report_nocturne_202601011200.doc"), title));
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) for a terminal";
    const ShellRun terminal = shell("script -qec '\"$VL\" --batch --start' /dev/null");
    EXPECT_EQ(terminal.status, 0);
    EXPECT_TRUE(has(terminal.out, "?]0;owned?Luminaire ?[2J")) << terminal.out;
    EXPECT_EQ(terminal.out.find_first_of("\x1b\x07"), std::string::npos);
}

TEST(Robustness, FiguresThatAreNotFiniteAreCountedOnStandardError) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    std::string table = readFile("SRT_C2");
    std::size_t at = 0;
    for (int k = 0; k < 70; ++k) at = table.find('\n', at) + 1;  // an r value of beta 0
    table.replace(at, table.find('\n', at) - at, "1e308");
    std::ofstream("SRT_C2", std::ios::binary) << table;
    const ShellRun run = shell("\"$VL\" --batch --start");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(has(run.err, " figures of this run are not finite (NaN or infinite; the files write them as NaN, "
                             "Infinity or asterisks): "))
        << run.err;
    EXPECT_TRUE(has(run.err, " in road lighting")) << run.err;
    EXPECT_TRUE(has(run.out, "NaN"));
    EXPECT_FALSE(has(run.out, "not finite"));
}

TEST(Robustness, AMissingInputIsCreatedOnlyInTheWorkingFolder) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    // A name of at most 20 characters, in the folder above.
    const std::string away = "../vl_" + std::to_string(::getpid()) + ".ldt";
    std::ofstream("input_nocturne.dat") << "   6.50   7.00  24.00   2.50   7.00   0.80   0.00 C2  1  \"" << away
                                        << "\"\n";
    ShellRun run = shell("\"$VL\" --run");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vesperluminal: file \"" + away + "\": does not exist\n");
    fs::remove("eulumdat.ldt");
    fs::create_symlink(away, "eulumdat.ldt");
    run = shell("\"$VL\" --batch --start");
    EXPECT_EQ(run.err, "vesperluminal: file \"eulumdat.ldt\": is a symbolic link to a file that does not exist\n");
    EXPECT_FALSE(fs::exists(away));
}

TEST(Robustness, ASignalStopsTheRunAtItsNextSafePointAndItsFilesSaySo) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    ASSERT_EQ(shell("VESPERLUMINAL_CLOCK=20260101110000 \"$VL\" --batch --start").status, 0);
    std::vector<std::pair<std::string, std::string>> before;
    for (const std::string& name : folderListing()) {
        if (name != "input_nocturne.dat") before.emplace_back(name, readFile(name));  // the form rewrites it
    }
    const fs::path output = fs::temp_directory_path() / ("vl_signal_" + std::to_string(::getpid()));
    for (const int signal : {SIGINT, SIGTERM}) {
        const std::string name = signal == SIGINT ? "SIGINT" : "SIGTERM";
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);
            const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::execl(VL_PROGRAM_PATH, "vesperluminal", "--batch", "--set", "grid=9", "--start", nullptr);
            ::_exit(127);
        }
        // The finest grid takes seconds: signal once the run has opened its report.
        const auto limit = std::chrono::steady_clock::now() + 60s;
        while (!fs::exists("report_nocturne_202601011200.doc") && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(20ms);
        }
        std::this_thread::sleep_for(300ms);
        ASSERT_EQ(::kill(child, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << name;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        const std::string line = " Run interrupted (" + name + "): the results of this run are incomplete";
        EXPECT_EQ(lastLine(readFile("report_nocturne_202601011200.doc")), line);
        EXPECT_EQ(lastLine(readFile("outdat_nocturne_202601011200.doc")), line);
        const std::string said = readFile(output);
        EXPECT_TRUE(has(said, line + "\n")) << said;
        EXPECT_FALSE(has(said, "Computation completed"));
        fs::remove(output);
    }
    // The inputs and the earlier run's files stay as they were.
    for (const auto& [name, bytes] : before) EXPECT_EQ(readFile(name), bytes) << name;
}

}  // namespace
}  // namespace vl
