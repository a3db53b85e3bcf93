#include "app/interruption.hpp"

#include <signal.h>

#include "app/process_stop.hpp"
#include "writers/streams.hpp"

namespace vl {

namespace {

std::atomic<bool> flag{false};
std::atomic<int> signalNumber{0};
std::atomic<int> workDepth{0};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handlers need lock-free atomics");

extern "C" void onInterrupt(int signal) {
    signalNumber.store(signal);
    flag.store(true);
}

}  // namespace

const std::atomic<bool>& interruptFlag() { return flag; }
bool interrupted() { return flag.load(); }

std::string interruptName() {
    const int n = signalNumber.load();
    if (n == SIGINT) return "SIGINT";
    if (n == SIGTERM) return "SIGTERM";
    if (n == SIGHUP) return "SIGHUP";
    return "signal " + std::to_string(n);
}

int interruptStatus() { return 128 + signalNumber.load(); }

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the handler is reset, so a second signal ends the
    // process at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

InterruptibleWork::InterruptibleWork() { workDepth.fetch_add(1); }
InterruptibleWork::~InterruptibleWork() { workDepth.fetch_sub(1); }

bool deferInterrupt(int signal) noexcept {
    if (workDepth.load() == 0 || flag.load()) return false;
    signalNumber.store(signal);
    flag.store(true);
    return true;
}

void stopIfInterrupted() {
    if (!interrupted()) return;
    throw ProcessStop{interruptStatus(), "vesperluminal: interrupted (" + interruptName() + ")", {}};
}

void stopInterruptedRun() {
    const std::string line = "Run interrupted (" + interruptName() + "): the results of this run are incomplete";
    for (Stream stream : {Stream::Console, Stream::Report, Stream::Data}) {
        listText(stream, "");
        listText(stream, line);
    }
    closeRunFiles();
    throw ProcessStop{interruptStatus(),
                      "vesperluminal: interrupted (" + interruptName() +
                          "): the report and data file of the run end with a line saying that they are incomplete",
                      {}};
}

}  // namespace vl
