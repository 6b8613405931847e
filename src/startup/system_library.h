// Functions of system DLLs that the system does not protect as known DLLs
// (the common controls and common dialogs). They are not imported at load
// time, where the search would start in the program's own folder (often a
// downloads folder anyone can drop files into), but loaded from the system
// folder by full path when first needed.
#pragma once

#include <windows.h>

namespace kq {

// The function `name` of `dll` in the system folder, or null.
FARPROC SystemLibraryFunction(const char* dll, const char* name);

template <typename Function>
Function SystemFunction(const char* dll, const char* name) {
    // Through the generic function pointer type, which any function type may be cast from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemLibraryFunction(dll, name)));
}

}  // namespace kq
