// Uninstaller mode once the log path is in the script path buffer: the
// uninstall sequence, its report, and the end of the run.
#include "startup/mode_continuations.h"
#include "startup/text_buffers.h"
#include "uninstall_sequence.h"

namespace kq {

int ContinueUninstallerMode() {
    if (RunUninstallSequence()) ShowUninstallReport();
    FreeModulePathBuffer();
    FreeTextBuffers();
    return 0;
}

}  // namespace kq
