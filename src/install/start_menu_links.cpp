// Start-menu group, shortcuts and the first link's extra shortcuts.
#include "start_menu_links.h"

#include <windows.h>
#include <shlobj.h>

#include "install_log.h"
#include "script/lettered_key.h"
#include "script/profile.h"
#include "shortcut.h"
#include "startup/bounded_text.h"
#include "ui/message_box.h"

namespace kq {
namespace {

constexpr size_t kShortcutPathSize = 512;

// Offers an extra shortcut for the first link when the script's flag is set
// and the user agrees; records and creates it under `folder` + `separator`.
void OfferExtraShortcut(const char* flag_key, const char* question, int csidl, const char* separator,
                        const char* target, const char* description, const char* file_name) {
    // The flag is read first: a zero flag asks nothing.
    if (ReadProfileInt(kInstallSection, flag_key, 0, g_text.script_path) == 0) return;
    // It would take the next file key; without one it is not offered.
    if (!FileKeyLeft(1)) return;
    if (ShowMessage(question, "Setup", MB_YESNO) != IDYES) return;
    char folder[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, folder, csidl, FALSE)) return;
    char path[kShortcutPathSize];
    if (!CopyText(path, sizeof path, folder) || !AppendText(path, sizeof path, separator) ||
        !AppendText(path, sizeof path, file_name))
        return;
    AdvanceFileLetter();
    RecordFileKey(path);
    CreateShortcut(target, description, path);
}

// One link: its Start-menu shortcut under the current file key and, for the
// first link, the launch target and the offered extra shortcuts. Returns 0
// when a path would not fit (the link is skipped, never cut into another
// path, and takes no file key) or the file keys have run out.
int CreateLinkShortcuts(unsigned letter, const char* link_name, const char* menu_folder, const SetupContext& context,
                        bool first_link) {
    if (!FileKeyLeft()) return 0;
    char file_name[kValueReadSize];
    ReadLetteredKey(kLinksSection, "linkfile", letter, file_name, sizeof file_name, g_text.script_path);
    g_text.title[0] = '\0';
    if (!AppendText(g_text.title, kTextBufferSize, context.install_folder) ||
        !AppendText(g_text.title, kTextBufferSize, "\\") || !AppendText(g_text.title, kTextBufferSize, link_name))
        return 0;
    if (!CopyText(g_text.licence_path, kTextBufferSize, menu_folder) ||
        !AppendText(g_text.licence_path, kTextBufferSize, file_name))
        return 0;
    RecordFileKey(g_text.licence_path);
    char description[kValueReadSize];
    ShortcutDescription(description, sizeof description, file_name);
    CreateShortcut(g_text.title, description, g_text.licence_path);
    if (first_link) {
        (void)CopyText(g_text.launch, kTextBufferSize, g_text.title);
        OfferExtraShortcut("Desk", "Add a desktop icon?", CSIDL_DESKTOPDIRECTORY, "\\", g_text.title, description,
                           file_name);
        OfferExtraShortcut("QLaunch", "Add Quick Launch toolbar button?", CSIDL_APPDATA,
                           "\\Microsoft\\Internet Explorer\\Quick Launch\\", g_text.title, description, file_name);
    }
    return 1;
}

}  // namespace

void ShortcutDescription(char* description, size_t size, const char* file_name) {
    description[0] = '\0';
    size_t end = TextLength(file_name);
    for (size_t i = end; i > 0; --i) {
        if (file_name[i - 1] == '.') {
            end = i - 1;
            break;
        }
    }
    if (end >= size) end = size - 1;
    (void)AppendBytes(description, size, file_name, end);
}

void CreateStartMenuLinks(const SetupContext& context) {
    char menu_folder[kTextBufferSize];
    char programs[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, TRUE) ||
        !CopyText(menu_folder, sizeof menu_folder, programs) || !AppendText(menu_folder, sizeof menu_folder, "\\") ||
        !AppendText(menu_folder, sizeof menu_folder, g_text.name))
        return;
    CreateDirectoryA(menu_folder, nullptr);
    RecordUninstallValue("linkdir", menu_folder);
    if (!AppendText(menu_folder, sizeof menu_folder, "\\")) return;

    char link_name[kValueReadSize];
    for (unsigned letter = kFirstKeyLetter;
         ReadLetteredKey(kLinksSection, "link", letter, link_name, sizeof link_name, g_text.script_path) != 0;
         ++letter) {
        if (CreateLinkShortcuts(letter, link_name, menu_folder, context, letter == kFirstKeyLetter))
            AdvanceFileLetter();
    }
}

}  // namespace kq
