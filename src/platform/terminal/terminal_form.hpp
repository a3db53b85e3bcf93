// The input form in a text terminal (ncurses), with the console pane beside it.
#pragma once

#include <memory>

#include "platform/form.hpp"

namespace vl::platform {

// A toolkit whose forms are drawn in the terminal; the Console stream goes to its pane
// while a form is shown.
std::unique_ptr<FormToolkit> makeTerminalToolkit();

// Gives the terminal back to the shell (idempotent; safe when no form is shown).
void restoreTerminal();

}  // namespace vl::platform
