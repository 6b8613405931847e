// Placement of installed records. The destination is completed here; the
// uninstall-log entries and the per-file copy modes from the setup script are
// added together with the setup-script access code.
#include "install_placement.h"

#include "startup/bounded_text.h"
#include "startup/text_buffers.h"

namespace kq {

int PlaceRecord(const uint8_t* stored_name, uint32_t name_length, char* destination, const char*,
                int& copy_mode) {
    copy_mode = 1;
    // The backslash goes in even after a folder that ends with one.
    if (!AppendText(destination, kTextBufferSize, "\\")) return 0;
    return AppendBytes(destination, kTextBufferSize, reinterpret_cast<const char*>(stored_name), name_length);
}

}  // namespace kq
