// What a scripted "--set ID=TEXT" stores, against what was typed.
//
// The form's field handlers take the first item of a field's text and ignore the rest;
// text fields are cut to their width. These checks name what a typed text loses on its
// way into "input_nocturne.dat", so that the scripted form can say so.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/computation_state.hpp"
#include "platform/form.hpp"

namespace vl {

// One of the ten input fields of the form.
bool isInputField(int id);

// What the typed text loses in the field (empty when it is taken whole).
std::vector<std::string> settingProblems(int id, std::string_view typed);

// The field's column of the installation line as the record holds it, blanks trimmed.
std::string storedColumn(int id, const InstallationData& data);

// A toolkit whose forms call after(id) each time an edit's change handler has run.
std::unique_ptr<platform::FormToolkit> notifyingToolkit(platform::FormToolkit& inner,
                                                        std::function<void(platform::Form&, int)> after);

}  // namespace vl
