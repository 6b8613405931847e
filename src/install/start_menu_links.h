// The Start-menu folder and the shortcuts of the [Links] section, with the
// desktop and Quick Launch shortcuts offered for the first link.
#pragma once

#include "startup/text_buffers.h"

namespace kq {

// Creates the Programs folder's AppName folder, records it as linkdir, and
// makes a shortcut there per link (each recorded under the next file key).
// The first link's target goes into the launch buffer.
void CreateStartMenuLinks(const SetupContext& context);

// The description of a shortcut file name: the text before its last '.', or
// the whole name when it has none.
void ShortcutDescription(char* description, size_t size, const char* file_name);

}  // namespace kq
