#include "app/computation_state.hpp"

namespace vl {

ComputationState& state() {
    static ComputationState instance;  // zero-initialised once, never cleared
    return instance;
}

}  // namespace vl
