// One registry change per call: open (creating when absent), set a string
// value or delete a subkey, close. Failures are not reported.
#pragma once

#include <windows.h>

namespace kq {

// delete_subkey 0: set value `name` to `data` (REG_SZ, stored without its
// terminator). delete_subkey 1: delete the subkey `name`; `data` is unused.
void RegistryEntry(const char* key_path, const char* name, const char* data, int delete_subkey, HKEY root);

}  // namespace kq
