// The install folder proposed to the wizard.
#pragma once

#include "startup/text_buffers.h"

namespace kq {

// The temp folder's drive root + "Program Files\" + DefDir (read into the
// name buffer), in the folder buffer and the setup context. Without a usable
// temp folder path the root of the Windows folder's drive serves, and "C:\"
// when that is unknown too. A DefDir too long for the folder is cut: this is
// only a proposal the user sees and may change.
void ProposeInstallFolder(SetupContext& context);

}  // namespace kq
