// Batched evaluation of a prepared table in vector lanes (used by PreparedSplineTable2D).
//
// A block of up to kBlock lookups is solved together, one lookup per lane and all the
// block's vectors side by side, so that the divider never waits for one chain: down the
// column, each row's values, difference quotient and step of the forward elimination,
// then the back substitution and the value at the bracket. Each lane performs exactly the
// operations of the one-by-one evaluation, in the same order.
#pragma once

#include "core/numeric/instruction_set.hpp"
#include "core/numeric/spline.hpp"

namespace vl::lanes {

inline constexpr int kBlock = 16;  // lookups solved together

// The prepared table as the lanes read it.
struct LaneTable {
    const double* x1 = nullptr;
    double extrapolationSlope = 0;
    const double* x2 = nullptr;
    int n = 0;
    // (y(i, k), y(i+1, k), y2(i, k), y2(i+1, k)) at [(i * n + k) * 4], i = 0 .. m-2: what
    // a lookup between x1(i) and x1(i+1) reads of row k.
    const double* quads = nullptr;
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
