// Reading shortcut files back through the shell-link object, as the shell
// would, to check what the installer wrote.
#pragma once

#include <string>

namespace kqtest {

struct LinkContents {
    bool loaded = false;
    std::string target;
    std::string description;
};

// Loads a shortcut file; `loaded` is false when it cannot be read.
LinkContents LoadLink(const std::string& path);

}  // namespace kqtest
