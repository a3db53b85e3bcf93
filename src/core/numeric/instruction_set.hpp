// The instructions that batched table lookups run on. Every choice gives the same bits:
// the lanes of a vector repeat, each for its own lookup, the operations of the one-by-one
// evaluation in the same order. The choice only changes the speed.
#pragma once

#include <optional>
#include <span>

namespace vl {

enum class InstructionSet {
    Scalar,    // one lookup after the other
    Portable,  // 8 lanes in the build's baseline vectors (SSE2 on x86-64)
    Avx2,      // 8 lanes in two 256-bit vectors
    Avx512,    // 8 lanes in one 512-bit vector
};

const char* instructionSetName(InstructionSet set);

// Whether this processor can run the set.
bool instructionSetSupported(InstructionSet set);

// The widest set this processor runs.
InstructionSet widestInstructionSet();

// The sets this processor runs, Scalar first.
std::span<const InstructionSet> supportedInstructionSets();

// The set batched lookups use: the widest, unless tests or benchmarks force another
// (nullopt returns to the widest). A set the processor lacks is not taken (false).
InstructionSet lookupInstructionSet();
bool forceLookupInstructionSet(std::optional<InstructionSet> set);

}  // namespace vl
