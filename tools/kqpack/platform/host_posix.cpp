// The POSIX side of the host seam: names are bytes and pass through as they
// are; the C library gives file and local times.
#include "platform/host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <sys/wait.h>
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

std::tm UtcTime(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    return utc;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::string ShellQuoted(const std::filesystem::path& path) {
    std::string quoted = "'";
    for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<CommandResult> RunForOutput(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    CommandResult result{0, {}};
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) result.output += line;
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (result.status == 127) return std::nullopt;  // sh: not found
    return result;
}

std::optional<int> RunBashScript(const std::filesystem::path& script, const std::vector<std::string>& args) {
    std::string command = "bash ";
    command += ShellQuoted(script);
    for (const std::string& arg : args) (command += ' ') += ShellQuoted(arg);
    const int status = std::system(command.c_str());
    if (status == -1) return std::nullopt;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool ErrorStreamIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return ec ? ec.message() : "";
}

std::filesystem::path ToolFolder() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

}  // namespace kqpack
