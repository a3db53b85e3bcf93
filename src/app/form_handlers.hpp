// The three handlers of the input form and the start-up sequence.
#pragma once

#include <string_view>

#include "platform/form.hpp"
#include "core/run/installation.hpp"

namespace vl {

// The form's own installation record (zero at program start, lives for the process).
InstallationData& formInstallation();

void onFormInit(platform::Form& form);
void onFieldEdited(platform::Form& form, int controlId, platform::EventKind kind);
// Holds the folder while it stores the form's installation and computes it; the run's
// warnings noted meanwhile (noteFormWarning) follow the report name on the status line.
void onStartComputation(platform::Form& form, int controlId, platform::EventKind kind);
void noteFormWarning(std::string_view text);

// Start-up: loads form 101, sets and stores the defaults, attaches the handlers and runs
// the form modally. Returns false when the form could not be loaded.
bool runInputForm(platform::FormToolkit& toolkit);

}  // namespace vl
