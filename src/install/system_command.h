// Command lines for the system programs the installer starts (regsvr32,
// runonce). They name the program by its full path in the system folder:
// started by a bare name, a program of that name lying next to a downloaded
// setup program would run instead.
#pragma once

#include <stddef.h>

namespace kq {

// Room for the system folder, the program and a quoted path argument.
inline constexpr size_t kCommandBufferSize = 768;

// "<system folder>\<program>" in quotes, followed by `arguments` as given.
// Returns 0 when the result would not fit `size`.
[[nodiscard]] int ComposeSystemCommand(char* buffer, size_t size, const char* program, const char* arguments);

// regsvr32 "<install folder>\<dll name>"
[[nodiscard]] int ComposeRegisterCommand(char* buffer, size_t size, const char* install_folder,
                                         const char* dll_name);

// regsvr32 -u "<recorded dll path>"
[[nodiscard]] int ComposeUnregisterCommand(char* buffer, size_t size, const char* dll_path);

// Start the composed commands hidden, without waiting for them.
void RegisterDll(const char* install_folder, const char* dll_name);
void UnregisterDll(const char* dll_path);

}  // namespace kq
