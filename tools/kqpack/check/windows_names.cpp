// Windows naming rules for stored names, folder names and shortcut names.
#include "check/windows_names.h"

#include <array>

#include "check/lettered_keys.h"
#include "check/profile_text.h"
#include "package/stored_name.h"

namespace kqpack {
namespace {

// Opening any of these, with or without an extension, opens a device.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (SameName(base, device)) return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
        return SameName(base.substr(0, 3), "COM") || SameName(base.substr(0, 3), "LPT");
    return false;
}

}  // namespace

std::string NameComponentProblem(std::string_view name) {
    if (name.empty()) return "an empty name";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) return "a control character (" + DisplayKey(std::string(1, c)) + ")";
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return std::string("the character '") + c + "', which Windows does not allow in a name";
    }
    if (IsDeviceName(name)) return "the device name " + std::string(name.substr(0, name.find('.')));
    return {};
}

std::string StoredNameProblem(std::string_view stored_name) {
    if (stored_name.size() > 255) return std::to_string(stored_name.size()) + " characters, more than 255";
    const kq::StoredNameCheck check = kq::CheckStoredName(stored_name.data(), stored_name.size());
    const std::string part(stored_name.substr(check.part_start, check.part_length));
    switch (check.fault) {
        case kq::StoredNameFault::kNone: return {};
        case kq::StoredNameFault::kEmpty: return "it is empty";
        case kq::StoredNameFault::kAbsolute: return "it is absolute: it would not land under the install folder";
        case kq::StoredNameFault::kDrive: return "it names a drive: it would not land under the install folder";
        case kq::StoredNameFault::kEmptyPart: return "it holds an empty folder name (two backslashes, or one at the end)";
        case kq::StoredNameFault::kDotsAndBlanks:
            if (part == "..") return "it holds '..': it would leave the install folder";
            if (part == ".") return "it holds a '.' folder";
            return "'" + part + "' is only dots and blanks, which Windows reads as '..' or as no name at all";
        case kq::StoredNameFault::kBadCharacter:
            if (part.find('/') != std::string::npos)
                return "it holds a '/': the installer records folders only at backslashes, so the folder would stay "
                       "after an uninstall";
            [[fallthrough]];
        case kq::StoredNameFault::kDeviceName: return "'" + part + "' holds " + NameComponentProblem(part);
    }
    return {};
}

std::string TrailingDotOrBlank(std::string_view stored_name) {
    size_t start = 0;
    while (start <= stored_name.size()) {
        const size_t end = std::min(stored_name.find('\\', start), stored_name.size());
        const std::string_view part = stored_name.substr(start, end - start);
        if (!part.empty() && part != "." && part != ".." && (part.back() == '.' || part.back() == ' '))
            return std::string(part);
        start = end + 1;
    }
    return {};
}

std::string WindowsPathKey(std::string_view relative_path) {
    std::string key(relative_path);
    for (char& c : key) {
        if (c == '/') c = '\\';
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace kqpack
