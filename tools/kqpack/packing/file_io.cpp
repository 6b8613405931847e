// File reading and atomic replacement.
#include "packing/file_io.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "packing/text_encoding.h"
#include "platform/host.h"

namespace kqpack {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError{path.string() + ": " + std::strerror(errno)};
    std::vector<uint8_t> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::ios_base::failure&) {
        // The stream buffer throws on a read error (a folder, say) unnamed.
        throw InputError{path.string() + ": " + std::strerror(errno)};
    }
    if (in.bad()) throw InputError{path.string() + ": read failed"};
    return bytes;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         bool executable) {
    // Windows refuses to replace a read-only file, POSIX replaces it all the
    // same; both refuse it here, with the same words.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        throw InputError{path.string() + ": read-only: make it writable or write elsewhere"};
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(ProcessId());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw InputError{path.string() + ": " + std::strerror(errno)};
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw InputError{path.string() + ": write failed"};
        }
    }
    if (executable) {
        using std::filesystem::perms;
        std::filesystem::permissions(temp, perms::owner_exec | perms::group_exec | perms::others_exec,
                                     std::filesystem::perm_options::add, ec);
    }
    const std::string failure = MoveOver(temp, path);
    if (!failure.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw InputError{path.string() + ": " + failure};
    }
}

std::filesystem::path PathFromText(std::string_view text) {
    std::filesystem::path path;
    try {
        path = std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size());
    } catch (const std::system_error&) {  // on Windows, which converts the text to UTF-16
        throw InputError{DisplayText(text) + ": not UTF-8 text"};
    }
    // Only Windows gives a relative path a root name or a root folder.
    if (path.is_relative() && (path.has_root_name() || path.has_root_directory()))
        throw InputError{std::string(text) + ": relative to the current drive or its current folder: give the whole "
                                             "path (C:\\folder\\name) or a relative one"};
    return path;
}

std::string InstallerNameOf(std::string_view name) {
    std::optional<std::string> bytes = InInstallerCodePage(name);
    if (!bytes)
        throw InputError{std::string(name) + ": not in the ANSI code page, in which the installer writes file "
                                             "names: rename the file"};
    return *bytes;
}

}  // namespace kqpack
