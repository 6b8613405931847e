// Shortcut files, written through the shell-link object.
#pragma once

namespace kq {

// Saves a shortcut at `shortcut_path` (up to 259 characters) to `target_path`
// with `description`; nothing else is set. Failures are not reported.
void CreateShortcut(const char* target_path, const char* description, const char* shortcut_path);

}  // namespace kq
