// Reading back and preparing HKEY_LOCAL_MACHINE from inside the test: Wine
// runs and deletes RunOnce values when the next session starts, so they can
// only be seen from a process of the session that wrote them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kqe2e {

inline constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

struct RegistryValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::string data;  // the text, up to its terminating zero
};

RegistryValue ReadMachineValue(const std::string& key_path, const std::string& name);
bool MachineKeyExists(const std::string& key_path);
std::vector<std::string> MachineSubkeys(const std::string& key_path);
std::vector<std::string> MachineValueNames(const std::string& key_path);

// Creates the key (and its parents) with a string value in it.
void SetMachineString(const std::string& key_path, const std::string& name, const std::string& data);
void DeleteMachineValue(const std::string& key_path, const std::string& name);
// Deletes the key with everything below it; nothing if it does not exist.
void DeleteMachineTree(const std::string& key_path);

}  // namespace kqe2e
