// The POSIX side of the host seam: names are bytes and pass through as they
// are; the C library gives file and local times.
#include "platform/host.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace kqpack {

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

std::optional<std::string> InInstallerCodePage(std::string_view name) { return std::string(name); }

std::filesystem::path PathOfInstallerName(std::string_view name) { return std::filesystem::path(name); }

std::optional<std::time_t> RegularFileTime(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return info.st_mtime;
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::string MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return ec ? ec.message() : "";
}

std::filesystem::path StubBesideTool() { return {}; }

}  // namespace kqpack
