#include "core/numeric/instruction_set.hpp"

#include <array>
#include <atomic>

namespace vl {

namespace {

#if defined(__x86_64__) || defined(__i386__)
#define VL_X86 1
#else
#define VL_X86 0
#endif

bool detect(InstructionSet set) {
    switch (set) {
        case InstructionSet::Scalar:
        case InstructionSet::Portable:
            return true;
#if VL_X86
        case InstructionSet::Avx2:
            return __builtin_cpu_supports("avx2");
        case InstructionSet::Avx512:
            return __builtin_cpu_supports("avx512f");
#else
        case InstructionSet::Avx2:
        case InstructionSet::Avx512:
            return false;
#endif
    }
    return false;
}

struct Supported {
    std::array<InstructionSet, 4> sets{};
    std::size_t count = 0;
    Supported() {
#if VL_X86
        __builtin_cpu_init();
#endif
        for (const InstructionSet s :
             {InstructionSet::Scalar, InstructionSet::Portable, InstructionSet::Avx2, InstructionSet::Avx512}) {
            if (detect(s)) sets[count++] = s;
        }
    }
};

const Supported& supported() {
    static const Supported s;
    return s;
}

// -1: the widest; otherwise the forced set.
std::atomic<int> forced{-1};

}  // namespace

const char* instructionSetName(InstructionSet set) {
    switch (set) {
        case InstructionSet::Scalar:
            return "scalar";
        case InstructionSet::Portable:
            return VL_X86 ? "sse2" : "portable";
        case InstructionSet::Avx2:
            return "avx2";
        case InstructionSet::Avx512:
            return "avx512";
    }
    return "?";
}

bool instructionSetSupported(InstructionSet set) {
    for (const InstructionSet s : supportedInstructionSets()) {
        if (s == set) return true;
    }
    return false;
}

InstructionSet widestInstructionSet() { return supportedInstructionSets().back(); }

std::span<const InstructionSet> supportedInstructionSets() {
    const Supported& s = supported();
    return {s.sets.data(), s.count};
}

InstructionSet lookupInstructionSet() {
    const int f = forced.load(std::memory_order_relaxed);
    return f < 0 ? widestInstructionSet() : static_cast<InstructionSet>(f);
}

bool forceLookupInstructionSet(std::optional<InstructionSet> set) {
    if (!set) {
        forced.store(-1, std::memory_order_relaxed);
        return true;
    }
    if (!instructionSetSupported(*set)) return false;
    forced.store(static_cast<int>(*set), std::memory_order_relaxed);
    return true;
}

}  // namespace vl
