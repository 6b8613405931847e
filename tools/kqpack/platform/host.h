// What kqpack needs from the system it runs on where Windows and POSIX
// differ: the command line, file names in the installer's code page, file
// times and local time, running other programs, the terminal, replacing a
// file, and the stub's default place.
// host_windows.cpp and host_posix.cpp implement it; CMake builds one.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqpack {

// The arguments after the program's name as text: UTF-8 on Windows, read
// from the wide command line (the ANSI one has already lost what the code
// page lacks); on POSIX the bytes as given.
std::vector<std::string> CommandArguments(int argc, char** argv);

// A file name given as text in the bytes the installer's ANSI calls will
// use: on Windows the ANSI code page, nothing when it lacks a character; on
// POSIX the bytes as they are.
std::optional<std::string> InInstallerCodePage(std::string_view name);

// A name in the installer's bytes (a stored name) as a path to create.
std::filesystem::path PathOfInstallerName(std::string_view name);

// The last-write time of a regular file in seconds since 1970 (UTC);
// nothing for a missing file or anything but a regular file.
std::optional<std::time_t> RegularFileTime(const std::filesystem::path& file);

// `time` as local wall-clock time, and as UTC.
std::tm LocalTime(std::time_t time);
std::tm UtcTime(std::time_t time);

unsigned long ProcessId();

// `path` quoted for the command interpreter std::system and popen use (sh on
// POSIX, cmd on Windows).
std::string ShellQuoted(const std::filesystem::path& path);

// What `command` prints (standard output and error) and its exit status;
// nothing when the program it names is not there.
struct CommandResult {
    int status;
    std::string output;
};
std::optional<CommandResult> RunForOutput(const std::string& command);

// Runs the bash script `script` with `args`, on kqpack's own standard
// streams, and returns its exit status; nothing on Windows, which has no
// bash to run it.
std::optional<int> RunBashScript(const std::filesystem::path& script, const std::vector<std::string>& args);

// Whether standard error is a terminal (where a progress line may be drawn).
bool ErrorStreamIsTerminal();

// Renames `from` over `to`, replacing it; "" when done, else why not.
std::string MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// The folder of the running kqpack program itself.
std::filesystem::path ToolFolder();

}  // namespace kqpack
