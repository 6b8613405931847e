// The run-once values that have the system run grpconv, and an immediate
// start of the system's runonce program.
#pragma once

namespace kq {

inline constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Writes Wrapper (only when RunOnce has a "Setup" subkey) and GrpConv, flushes
// the key, and with `start_now` starts "runonce -r" from the system folder.
// Without an openable RunOnce key nothing is written or started.
void RunOnceStep(int start_now);

}  // namespace kq
