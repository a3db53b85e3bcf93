// One process at a time in the working folder: runs share "input_nocturne.dat" and the
// names of their output files. The hold is an advisory lock (flock) on the folder itself,
// so no file is created for it and a run writes exactly the files it always wrote; the
// kernel lets go when the process ends, however it ends.
#pragma once

#include <chrono>
#include <string>

namespace vl {

// How long a process waits for another one to let go of the folder.
inline constexpr std::chrono::seconds kFolderWait{5};

// Holds the working folder while alive; holds nest within a process (only the outermost
// takes and releases the lock). A folder that cannot be locked at all (a file system
// without locks) is used without a hold.
class FolderHold {
public:
    FolderHold();
    ~FolderHold();
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;

    bool held() const { return held_; }
    // Why the folder is not held: "in use by process 1234 (vesperluminal --run) for more
    // than 5 s; try again when it has ended".
    const std::string& refusal() const { return refusal_; }
    // Stops the process (status 2) naming the folder and the other process.
    [[noreturn]] void stop() const;

private:
    bool held_ = false;
    bool outermost_ = false;
    std::string refusal_;
};

// The process holding a flock on the working folder, as "process N (COMMAND LINE)", or
// "another process" when it cannot be told (another pid namespace, no /proc).
std::string folderHolder();

}  // namespace vl
