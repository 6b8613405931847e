// Default install folder.
#include "default_folder.h"

#include "script/lettered_key.h"
#include "script/profile.h"
#include "startup/bounded_text.h"
#include "ui/display_text.h"

namespace kq {
namespace {

// Length of `path` up to and including its first backslash, 0 if it has none
// within `length` characters.
size_t RootLength(const char* path, size_t length) {
    for (size_t i = 0; i < length && path[i] != '\0'; ++i)
        if (path[i] == '\\') return i + 1;
    return 0;
}

// Drive root (such as "C:\") of the temp folder, else of the Windows folder.
void FindDriveRoot(char* root) {
    char path[kTextBufferSize];
    DWORD length = GetTempPathA(sizeof path, path);
    size_t root_length = length < sizeof path ? RootLength(path, length) : 0;
    if (root_length == 0) {
        length = GetWindowsDirectoryA(path, sizeof path);
        root_length = length < sizeof path ? RootLength(path, length) : 0;
    }
    root[0] = '\0';
    if (root_length == 0 || !AppendBytes(root, kTextBufferSize, path, root_length)) (void)CopyText(root, 4, "C:\\");
}

}  // namespace

void ProposeInstallFolder(SetupContext& context) {
    ReadProfileText(kInstallSection, "DefDir", g_text.name, kValueReadSize, g_text.script_path);
    char root[kTextBufferSize];
    FindDriveRoot(root);
    const char* const pieces[] = {root, "Program Files\\", g_text.name};
    ComposeCut(g_text.folder, kTextBufferSize, pieces, 3);
    // The folder buffer is the smaller of the two: the copy always fits.
    (void)CopyText(context.install_folder, sizeof context.install_folder, g_text.folder);
}

}  // namespace kq
