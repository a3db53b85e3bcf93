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

// Asked first by the form's handler of SIGINT, SIGTERM and SIGHUP (async-signal-safe): true
// when the application stops at its own next safe point, which also restores the terminal;
// false (or none set) and the handler restores the terminal and ends the process at once.
void setInterruptDeferral(bool (*defer)(int signal) noexcept);

}  // namespace vl::platform
