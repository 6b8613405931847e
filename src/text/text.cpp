// Bounded text: copies, appends and path joins that refuse what does not
// fit, display texts cut where their area ends, and the check of relative
// paths that would climb out of their folder.
#include "text/text.h"

namespace kq {

size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

int CopyText(char* dest, size_t capacity, const char* source) {
    const size_t length = TextLength(source);
    if (length >= capacity) return 0;
    for (size_t i = 0; i <= length; ++i) dest[i] = source[i];
    return 1;
}

int AppendBytes(char* dest, size_t capacity, const char* source, size_t count) {
    const size_t start = TextLength(dest);
    if (start >= capacity || count >= capacity - start) return 0;
    for (size_t i = 0; i < count; ++i) dest[start + i] = source[i];
    dest[start + count] = '\0';
    return 1;
}

int AppendText(char* dest, size_t capacity, const char* source) {
    return AppendBytes(dest, capacity, source, TextLength(source));
}

int JoinPath(char* dest, size_t capacity, const char* folder, const char* name) {
    const size_t folder_length = TextLength(folder);
    const size_t name_length = TextLength(name);
    if (folder_length + 1 + name_length >= capacity) return 0;
    (void)CopyText(dest, capacity, folder);
    dest[folder_length] = '\\';
    (void)CopyText(dest + folder_length + 1, capacity - folder_length - 1, name);
    return 1;
}

int ParentFolder(char* dest, size_t capacity, const char* path) {
    size_t end = TextLength(path);
    while (end > 0 && path[end - 1] != '\\') --end;
    if (end == 0) return 0;
    dest[0] = '\0';
    return AppendBytes(dest, capacity, path, end - 1);
}

int AppendCut(char* dest, size_t capacity, const char* source) {
    const size_t used = TextLength(dest);
    if (used + 1 >= capacity) return source[0] == '\0';
    const size_t room = capacity - 1 - used;
    const size_t length = TextLength(source);
    const size_t count = length < room ? length : room;
    // Cannot be refused: count leaves room for the terminator.
    (void)AppendBytes(dest, capacity, source, count);
    return count == length;
}

void ComposeCut(char* dest, size_t capacity, const char* const* pieces, size_t count) {
    if (capacity == 0) return;
    dest[0] = '\0';
    for (size_t i = 0; i < count; ++i) AppendCut(dest, capacity, pieces[i]);
}

bool ClimbsOutOfItsFolder(const char* path, size_t length) {
    unsigned dots = 0;
    bool only_dots_and_blanks = true;
    for (size_t i = 0; i <= length; ++i) {
        const char c = i < length ? path[i] : '\\';
        if (c == '\\' || c == '/') {
            if (only_dots_and_blanks && dots >= 2) return true;
            dots = 0;
            only_dots_and_blanks = true;
        } else if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            only_dots_and_blanks = false;
        }
    }
    return false;
}

bool LeavesItsFolder(const char* path) {
    const size_t length = TextLength(path);
    if (length > 0 && (path[0] == '\\' || path[0] == '/')) return true;
    if (length > 1 && path[1] == ':') return true;
    return ClimbsOutOfItsFolder(path, length);
}

FolderProblem InstallFolderProblem(const char* folder, size_t longest_stored_name) {
    const size_t length = TextLength(folder);
    if (length == 0) return FolderProblem::kEmpty;
    const bool on_drive = length >= 3 && ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') &&
                          folder[1] == ':' && folder[2] == '\\';
    const bool on_share = length >= 3 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\';
    if (!on_drive && !on_share) return FolderProblem::kNotAbsolute;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(folder[i]);
        const bool drive_colon = on_drive && i == 1;
        if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' || c == '/' ||
            (c == ':' && !drive_colon))
            return FolderProblem::kBadCharacter;
    }
    constexpr size_t kLogNameLength = 12;  // "Uninstal.inf"
    const size_t longest = longest_stored_name > kLogNameLength ? longest_stored_name : kLogNameLength;
    if (length + 1 + longest > 255) return FolderProblem::kTooLong;
    return FolderProblem::kNone;
}

}  // namespace kq
