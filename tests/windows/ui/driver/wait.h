// Waiting for an effect in a program under test: poll a condition until it
// holds or a generous deadline passes. Never a fixed sleep on its own.
#pragma once

#include <windows.h>

#include <functional>

namespace kqgui {

// Long enough for a loaded machine running Wine; a passing test waits far less.
inline constexpr DWORD kPatience = 30000;

// Returns true as soon as `done` returns true, false if the deadline passes.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kPatience);

}  // namespace kqgui
