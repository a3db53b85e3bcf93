// Form 101, the input form: its controls, texts and positions in dialog units.
#pragma once

#include <array>
#include <vector>

#include "platform/form.hpp"

namespace vl {

inline constexpr int kInputForm = 101;
inline constexpr int kStartButton = 1007;
inline constexpr int kCloseButton = 8;
inline constexpr int kReportNameField = 1013;

// The ten input edits, top to bottom (also their tab order).
inline constexpr std::array<int, 10> kInputEdits = {1001, 1002, 1006, 1005, 1008, 1009, 1011, 1012, 1010, 1021};

// The application's form resources (form 101).
const std::vector<platform::FormResource>& formResources();

}  // namespace vl
