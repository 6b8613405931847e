// The keys an installation will write into the uninstall log, worked out
// before it happens: the file key (and with it the [Copymode] key) each
// package file takes, the dire keys of its folders, and the file keys the
// install sequence adds after the files. Keys are counted by number, 1 being
// the letter a (check/lettered_keys.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/profile_text.h"

namespace kqpack {

struct InstallPlan {
    // Per package file, in install order: its file key and the copy mode read
    // under that key.
    std::vector<unsigned> file_keys;
    std::vector<int32_t> copy_modes;

    size_t author_file_keys = 0;  // [Uninstall] file keys already in the script
    size_t link_count = 0;        // links read from linka on
    bool desktop_offered = false;
    bool quick_launch_offered = false;

    // Keys the install sequence writes after the files: the licence, the log,
    // then one per shortcut (the first link's desktop and Quick Launch
    // shortcuts counted whenever they are offered).
    unsigned sequence_first_key = 0;
    size_t sequence_keys = 0;
    unsigned last_file_key() const { return sequence_first_key + static_cast<unsigned>(sequence_keys) - 1; }

    // Every folder the package files record, with its dire key and the file
    // that records it, in the order of the files. A folder is recorded once,
    // by the first file in it.
    struct RecordedFolder {
        unsigned key;
        std::string folder;  // relative to the install folder, as stored
        size_t file;
    };
    std::vector<RecordedFolder> recorded_folders;
};

// The copy mode the installer reads from a [Copymode] value: its leading
// decimal digits (0 without any, which replaces like 1), 1 when it is empty.
int32_t CopyModeOf(std::string_view value);

// Plans an installation of `file_count` package files whose stored names are
// `stored_names` (empty when not known: no dire keys are planned then).
InstallPlan PlanInstall(const ProfileText& script, size_t file_count, const std::vector<std::string>& stored_names);

}  // namespace kqpack
