// The clean-up step.
#include "cleanup_step.h"

#include <windows.h>

#include "startup/bounded_text.h"
#include "startup/text_buffers.h"

namespace kq {

void CleanupStep(const char* install_folder) {
    char destination[kTextBufferSize];
    if (!CopyText(destination, sizeof destination, install_folder) ||
        !AppendText(destination, sizeof destination, "\\Uninstal.inf"))
        return;
    if (CopyFileA(g_text.script_path, destination, FALSE))
        DeleteFileA(g_text.script_path);
    else
        MoveFileExA(g_text.script_path, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    (void)CopyText(g_text.script_path, kTextBufferSize, destination);
}

}  // namespace kq
