#pragma once

// Whether the standard error goes to a terminal (a console on Windows), where
// a person reads it. Each system answers in its own file: terminal_linux.cpp,
// terminal_win.cpp.
bool standardErrorIsTerminal();
