// Relative paths that would leave their folder.
#include "relative_path.h"

namespace kq {

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

}  // namespace kq
