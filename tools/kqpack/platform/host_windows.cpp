// The Windows side of the host seam: wide-character calls throughout; text
// is UTF-8 inside the tool and the ANSI code page in what the installer reads.
#include "platform/host.h"

#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>

namespace kqpack {
namespace {

// `text` in a code page; `lacked`, when given, tells whether the code page
// lacked one of its characters.
std::string Narrow(std::wstring_view text, UINT code_page, DWORD flags, BOOL* lacked) {
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, nullptr, lacked);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(code_page, flags, text.data(), length, narrow.data(), size, nullptr, lacked);
    return narrow;
}

std::string Utf8Of(std::wstring_view text) { return Narrow(text, CP_UTF8, 0, nullptr); }

std::wstring WideOf(std::string_view text, UINT code_page) {
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), size);
    return wide;
}

// The system's text for an error code, without its closing ".\r\n".
std::string ErrorText(DWORD code) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 512, nullptr);
    std::string message = Utf8Of(text);
    while (!message.empty() && std::string_view(".\r\n").find(message.back()) != std::string_view::npos)
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

std::vector<std::string> CommandArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8Of(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::optional<std::string> InInstallerCodePage(std::string_view name) {
    // Best fit would store another name ("l" for "ł") without a word; the
    // default character in its place tells that the code page lacks one. A
    // UTF-8 code page lacks nothing and refuses the question.
    const UINT code_page = GetACP();
    BOOL lacked = FALSE;
    std::string ansi = code_page == CP_UTF8 ? std::string(name)
                                            : Narrow(WideOf(name, CP_UTF8), code_page, WC_NO_BEST_FIT_CHARS, &lacked);
    if (lacked) return std::nullopt;
    return ansi;
}

std::filesystem::path PathOfInstallerName(std::string_view name) { return std::filesystem::path(WideOf(name, CP_ACP)); }

std::optional<std::time_t> RegularFileTime(const std::filesystem::path& file) {
    // The file system's own time: the C library's stat passes it through the
    // current daylight-saving bias and can be an hour out.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return std::nullopt;
    const uint64_t ticks = uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::time_t>(ticks / 10000000) - 11644473600;  // 100 ns ticks since 1601
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    // The C library takes no time before 1970 or after 3000: past either
    // end, a year that the DOS range clamps the same way.
    if (localtime_s(&local, &time) != 0) local.tm_year = time < 0 ? 0 : 9999 - 1900;
    return local;
}

std::tm UtcTime(std::time_t time) {
    std::tm utc{};
    if (gmtime_s(&utc, &time) != 0) utc.tm_year = time < 0 ? 0 : 9999 - 1900;
    return utc;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

std::string ShellQuoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";  // cmd: no '"' can be in a Windows path
}

std::optional<CommandResult> RunForOutput(const std::string& command) {
    FILE* pipe = _popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    CommandResult result{0, {}};
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) result.output += line;
    result.status = _pclose(pipe);
    if (result.status == 9009) return std::nullopt;  // cmd: not recognised as a command
    return result;
}

std::optional<int> RunBashScript(const std::filesystem::path&, const std::vector<std::string>&) { return std::nullopt; }

bool ErrorStreamIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return "";
    return ErrorText(GetLastError());
}

std::filesystem::path ToolFolder() {
    std::wstring program(32768, L'\0');  // the longest path Windows has
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    return std::filesystem::path(program).parent_path();
}

}  // namespace kqpack
