// Batched evaluation of a prepared table in vector lanes (used by PreparedSplineTable2D).
//
// A block of up to kBlock lookups is solved together. For each lookup the row values,
// the column's difference quotients and the right-hand sides of its elimination are
// formed along the second axis, a vector of consecutive rows at a time; transposed, the
// right-hand sides feed the elimination, a recurrence along the column, which runs with
// one lookup per lane and all the block's vectors side by side, so that the divider
// never waits for one chain. Each lane performs exactly the operations of the one-by-one
// evaluation, in the same order.
#pragma once

#include "core/numeric/instruction_set.hpp"
#include "core/numeric/spline.hpp"

namespace vl::lanes {

inline constexpr int kLanes = 8;   // doubles in the widest vector; the column is padded to it
inline constexpr int kBlock = 64;  // lookups solved together

// The prepared table as the lanes read it.
struct LaneTable {
    const double* x1 = nullptr;
    double extrapolationSlope = 0;
    const double* x2 = nullptr;
    int n = 0;
    int paddedN = 0;                  // n rounded up to whole vectors
    const double* rows = nullptr;     // y(i, k) at [i * paddedN + k]
    const double* second = nullptr;   // y2(i, k), the same layout
    const double* dx = nullptr;       // x2(i+1) - x2(i), padded
    const double* span = nullptr;     // x2(i+1) - x2(i-1), padded
    const ColumnPlan* plan = nullptr;
    double columnStartSlope = 0;
    double columnEndSlope = 0;
};

// One lookup of a block with its place along the first axis and on the column (left
// uninitialised in bulk: every field is set before a block is solved).
struct LaneLookup {
    TableLookup* lookup;
    int lo1;                 // x1 bracket
    double x1c;              // clamped x1
    bool extrapolate;        // x1 beyond the last knot
    double x2c[2];           // clamped x2 of the value and of the second value
    int lo2[2];              // their x2 brackets; -1: no second value
};

// Solves count (1..kBlock) lookups and writes their values.
void solveBlock(InstructionSet set, const LaneTable& table, const LaneLookup* block, int count,
                const EqualAbscissae& onEqual);

}  // namespace vl::lanes
