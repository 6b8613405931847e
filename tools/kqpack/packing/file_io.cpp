// File reading and atomic replacement.
#include "packing/file_io.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

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
    std::error_code ec;
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

}  // namespace kqpack
