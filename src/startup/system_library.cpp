// Loading system DLLs by full path.
#include "system_library.h"

#include "bounded_text.h"

namespace kq {

FARPROC SystemLibraryFunction(const char* dll, const char* name) {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendText(path, sizeof path, "\\") ||
        !AppendText(path, sizeof path, dll))
        return nullptr;
    // Stays loaded for the rest of the run, like an import would.
    const HMODULE module = LoadLibraryA(path);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

}  // namespace kq
