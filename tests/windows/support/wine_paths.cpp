// Scratch folders and whole-file helpers for the Windows-side tests.
#include "wine_paths.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace kqtest {

std::string WindowsPathOf(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string MakeScratchFolder(const std::string& stem) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    // Process ids repeat across Wine sessions: take the first name not yet used.
    for (unsigned attempt = 0;; ++attempt) {
        const std::string folder = std::string(temp) + "kqtest-" + stem + "-" +
                                   std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
                                   "-" + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kqtest
