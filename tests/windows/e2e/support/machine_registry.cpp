// Registry probes.
#include "machine_registry.h"

namespace kqe2e {
namespace {

class OpenKey {
public:
    OpenKey(const std::string& key_path, REGSAM access) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

RegistryValue ReadMachineValue(const std::string& key_path, const std::string& name) {
    RegistryValue value;
    const OpenKey key(key_path, KEY_READ);
    if (key.get() == nullptr) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return value;
    // Up to the first zero: both Windows and Wine count a terminating zero
    // into a string value that was written without one.
    value.data = data.c_str();
    value.found = true;
    return value;
}

bool MachineKeyExists(const std::string& key_path) {
    return OpenKey(key_path, KEY_READ).get() != nullptr;
}

std::vector<std::string> MachineSubkeys(const std::string& key_path) {
    std::vector<std::string> names;
    const OpenKey key(key_path, KEY_READ);
    char name[256];
    for (DWORD i = 0; key.get() != nullptr; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    return names;
}

std::vector<std::string> MachineValueNames(const std::string& key_path) {
    std::vector<std::string> names;
    const OpenKey key(key_path, KEY_READ);
    char name[16384];
    for (DWORD i = 0; key.get() != nullptr; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    return names;
}

void SetMachineString(const std::string& key_path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

void DeleteMachineValue(const std::string& key_path, const std::string& name) {
    const OpenKey key(key_path, KEY_ALL_ACCESS);
    if (key.get() != nullptr) RegDeleteValueA(key.get(), name.c_str());
}

void DeleteMachineTree(const std::string& key_path) {
    for (const std::string& subkey : MachineSubkeys(key_path)) DeleteMachineTree(key_path + "\\" + subkey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path.c_str());
}

}  // namespace kqe2e
