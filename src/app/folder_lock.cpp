#include "app/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/interruption.hpp"
#include "app/process_stop.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

int lockFd = -1;
int depth = 0;

// The command line of a process, its arguments joined by blanks, cut to 60 characters (the
// messages that show it make it safe for a terminal).
std::string commandLine(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string text;
    char c = 0;
    while (text.size() < 61 && in.get(c)) text += c == '\0' ? ' ' : c;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

}  // namespace

std::string folderHolder() {
    struct stat folder {};
    if (::stat(".", &folder) != 0) return "another process";
    // /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF" (a waiter has "->").
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, device;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->" || kind != "FLOCK") continue;
        if (!(fields >> mode >> access >> pid >> device)) continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(device.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (major != ::major(folder.st_dev) || minor != ::minor(folder.st_dev) || inode != folder.st_ino) continue;
        if (pid <= 0 || pid == static_cast<long>(::getpid())) continue;
        const std::string command = commandLine(pid);
        return "process " + std::to_string(pid) + (command.empty() ? "" : " (" + command + ")");
    }
    return "another process";
}

FolderHold::FolderHold() {
    if (depth > 0) {
        ++depth;
        held_ = true;
        return;
    }
    const int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const auto deadline = std::chrono::steady_clock::now() + kFolderWait;
    for (;;) {
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // No locks on this file system: the folder is used as it always was.
            ::close(fd);
            lockFd = -1;
            ++depth;
            held_ = outermost_ = true;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            refusal_ = "in use by " + folderHolder() + " for more than " + std::to_string(kFolderWait.count()) +
                       " s; try again when it has ended";
            ::close(fd);
            return;
        }
        if (interrupted()) {
            ::close(fd);
            stopIfInterrupted();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    lockFd = fd;
    ++depth;
    held_ = outermost_ = true;
}

FolderHold::~FolderHold() {
    if (!held_) return;
    if (--depth > 0 || !outermost_) return;
    if (lockFd >= 0) ::close(lockFd);  // closing the last descriptor lets go of the lock
    lockFd = -1;
}

void FolderHold::stop() const {
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    throw ProcessStop{2, terminalSafe("vesperluminal: folder \"" + (ec ? std::string(".") : folder) + "\": " + refusal_), {}};
}

}  // namespace vl
