// The lettered keys an installation will write into the uninstall log,
// worked out before it happens: the file key (and with it the [Copymode] key)
// each package file takes, the dire keys of its folders, and the file keys
// the install sequence adds after the files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/profile_text.h"

namespace kqpack {

struct InstallPlan {
    // Per package file, in install order: its file key letter (past 0xFF when
    // no key is left for it) and the copy mode read under that letter.
    std::vector<unsigned> file_letters;
    std::vector<int32_t> copy_modes;

    size_t author_file_keys = 0;  // [Uninstall] file keys already in the script
    size_t author_dire_keys = 0;
    size_t link_count = 0;        // links read from linka on
    bool desktop_offered = false;
    bool quick_launch_offered = false;

    // Letters the install sequence writes after the files: the licence, the
    // log, then one per shortcut (the first link's desktop and Quick Launch
    // shortcuts counted whenever they are offered). The last may pass 0xFF.
    unsigned sequence_first_letter = 0;
    size_t sequence_keys = 0;
    unsigned last_file_letter() const {
        return sequence_first_letter + static_cast<unsigned>(sequence_keys) - 1;
    }

    size_t dire_keys = 0;          // one per backslash in the stored names
    unsigned last_dire_letter = 0; // 0 without dire keys; may pass 0xFF

    // Every folder a package file records, with its dire letter and the file
    // that records it, in the order of the files.
    struct RecordedFolder {
        unsigned letter;
        std::string folder;  // relative to the install folder, as stored
        size_t file;
    };
    std::vector<RecordedFolder> recorded_folders;
};

// Plans an installation of `file_count` package files whose stored names are
// `stored_names` (empty when not known: no dire keys are counted then).
InstallPlan PlanInstall(const ProfileText& script, size_t file_count, const std::vector<std::string>& stored_names);

}  // namespace kqpack
