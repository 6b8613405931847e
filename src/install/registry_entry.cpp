// The registry entry routine.
#include "registry_entry.h"

#include "startup/bounded_text.h"

namespace kq {

void RegistryEntry(const char* key_path, const char* name, const char* data, int delete_subkey, HKEY root) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, key_path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (delete_subkey) {
        RegDeleteKeyA(key, name);
    } else {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>(TextLength(data)));
    }
    RegCloseKey(key);
}

}  // namespace kq
