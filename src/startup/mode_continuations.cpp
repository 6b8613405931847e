// The ends of the two modes. The installer's window and wizard and the
// uninstall sequence plug in here; until they do, each mode ends after its
// start-up work, with the buffers released in table order.
#include "mode_continuations.h"

#include "text_buffers.h"

namespace kq {

int ContinueInstallerMode(int) {
    FreeModulePathBuffer();
    FreeTextBuffers();
    return 0;
}

}  // namespace kq
