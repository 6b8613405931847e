// Simulating the installer's first-free scans over the uninstall log.
#include "check/install_plan.h"

#include <algorithm>
#include <set>

#include "check/lettered_keys.h"
#include "check/windows_names.h"

namespace kqpack {
namespace {

// Far more package files than anyone packages; simulating more would only
// cost time on an absurd FileNum.
constexpr size_t kMostFilesSimulated = 100000;

// The taken keys of one stem in [Uninstall]. Keys are only ever added, so
// the first free key from key 1 only moves up.
class KeyTable {
public:
    KeyTable(const ProfileText& script, std::string_view stem) {
        if (const ProfileSection* section = script.FindSection("Uninstall"))
            for (const ProfileEntry& entry : section->entries)
                if (const auto number = NumberOfKey(entry.key, stem);
                    number && !ReadSequenceKey(script, "Uninstall", stem, *number).empty())
                    taken_.insert(*number);
        taken_by_author_ = taken_.size();
    }
    size_t taken_by_author() const { return taken_by_author_; }
    unsigned FirstFreeFrom(unsigned key) const {
        while (taken_.count(key)) ++key;
        return key;
    }
    unsigned TakeFirstFree() {
        first_free_ = FirstFreeFrom(first_free_);
        taken_.insert(first_free_);
        return first_free_;
    }
    void Take(unsigned key) { taken_.insert(key); }

private:
    std::set<unsigned> taken_;
    unsigned first_free_ = 1;
    size_t taken_by_author_ = 0;
};

}  // namespace

int32_t CopyModeOf(std::string_view value) {
    if (value.empty()) return 1;
    int32_t mode = 0;
    for (size_t i = 0; i < value.size() && value[i] >= '0' && value[i] <= '9' && mode < 1000; ++i)
        mode = mode * 10 + (value[i] - '0');
    return mode;
}

InstallPlan PlanInstall(const ProfileText& script, size_t file_count, const std::vector<std::string>& stored_names) {
    InstallPlan plan;
    KeyTable files(script, "file");
    KeyTable dires(script, "dire");
    plan.author_file_keys = files.taken_by_author();

    std::set<std::string> recorded;  // Windows path keys of the folders recorded so far
    const size_t simulated = std::min(file_count, kMostFilesSimulated);
    for (size_t i = 0; i < simulated; ++i) {
        if (i < stored_names.size()) {
            // The first folder a name records takes the first free dire key,
            // its deeper ones the free keys after it.
            const std::string& name = stored_names[i];
            unsigned key = 0;
            for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) {
                if (!recorded.insert(WindowsPathKey(name.substr(0, at))).second) continue;
                key = key == 0 ? dires.TakeFirstFree() : dires.FirstFreeFrom(key + 1);
                dires.Take(key);
                plan.recorded_folders.push_back({key, name.substr(0, at), i});
            }
        }
        const unsigned key = files.TakeFirstFree();
        plan.file_keys.push_back(key);
        plan.copy_modes.push_back(CopyModeOf(ReadSequenceKey(script, "Copymode", "file", key)));
    }

    plan.link_count = ReadSequence(script, "Links", "link").size();
    plan.desktop_offered = plan.link_count > 0 && script.ReadInt("Install", "Desk", 0) != 0;
    plan.quick_launch_offered = plan.link_count > 0 && script.ReadInt("Install", "QLaunch", 0) != 0;
    // The install sequence scans once from key 1 and then counts up without
    // looking: the licence, the log, and every shortcut.
    plan.sequence_first_key = files.FirstFreeFrom(1);
    plan.sequence_keys = 2 + plan.link_count + (plan.desktop_offered ? 1 : 0) + (plan.quick_launch_offered ? 1 : 0);
    // Files beyond the simulated ones each need a key of their own too.
    plan.sequence_first_key += static_cast<unsigned>(std::min<size_t>(file_count - simulated, 1u << 30));
    return plan;
}

}  // namespace kqpack
