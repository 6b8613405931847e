// Paths between the Linux build tree and the Windows side of the tests.
#pragma once

#include <string>

namespace kqtest {

// A Linux absolute path as Wine's Z: drive shows it.
std::string WindowsPathOf(const std::string& unix_path);

// A fresh, empty folder under the temp folder; ends without a backslash.
std::string MakeScratchFolder(const std::string& stem);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace kqtest
