// Simulating the installer's first-free scans over the uninstall log.
#include "check/install_plan.h"

#include <algorithm>

#include "check/lettered_keys.h"

namespace kqpack {
namespace {

// Far more package files than keys can never be installed; simulating more
// would only cost time on an absurd FileNum.
constexpr size_t kMostFilesSimulated = 100000;

// Letters of one stem in [Uninstall], taken or free, including imaginary
// letters past 0xFF so that an overflow can say how far it goes. Keys are
// only ever added, so the first free letter from 'a' only moves up.
class LetterTable {
public:
    LetterTable(const ProfileText& script, const char* stem) {
        for (unsigned letter = kFirstLetter; letter <= kLastLetter; ++letter) {
            if (script.Has("Uninstall", LetteredKey(stem, letter))) {
                Take(letter);
                ++taken_by_author_;
            }
        }
    }
    size_t taken_by_author() const { return taken_by_author_; }
    unsigned FirstFreeFrom(unsigned letter) const {
        while (IsTaken(letter)) ++letter;
        return letter;
    }
    unsigned TakeFirstFree() {
        first_free_ = FirstFreeFrom(first_free_);
        Take(first_free_);
        return first_free_;
    }
    void Take(unsigned letter) {
        if (letter >= taken_.size()) taken_.resize(letter + 1, false);
        taken_[letter] = true;
    }

private:
    bool IsTaken(unsigned letter) const { return letter < taken_.size() && taken_[letter]; }
    std::vector<bool> taken_;
    unsigned first_free_ = kFirstLetter;
    size_t taken_by_author_ = 0;
};

}  // namespace

InstallPlan PlanInstall(const ProfileText& script, size_t file_count, const std::vector<std::string>& stored_names) {
    InstallPlan plan;
    LetterTable files(script, "file");
    LetterTable dires(script, "dire");
    plan.author_file_keys = files.taken_by_author();
    plan.author_dire_keys = dires.taken_by_author();

    const size_t simulated = std::min(file_count, kMostFilesSimulated);
    for (size_t i = 0; i < simulated; ++i) {
        if (i < stored_names.size()) {
            // The first folder of a name takes the first free dire key, its
            // deeper folders the free keys after it.
            const std::string& name = stored_names[i];
            unsigned letter = kFirstLetter;
            bool first = true;
            for (size_t at = 0; at < name.size(); ++at) {
                if (name[at] != '\\') continue;
                letter = first ? dires.TakeFirstFree() : dires.FirstFreeFrom(letter + 1);
                if (!first) dires.Take(letter);
                first = false;
                ++plan.dire_keys;
                plan.last_dire_letter = std::max(plan.last_dire_letter, letter);
                plan.recorded_folders.push_back({letter, name.substr(0, at), i});
            }
        }
        const unsigned letter = files.TakeFirstFree();
        plan.file_letters.push_back(letter);
        plan.copy_modes.push_back(letter <= kLastLetter ? script.ReadInt("Copymode", LetteredKey("file", letter), 1) : 1);
    }

    plan.link_count = ReadSequence(script, "Links", "link").size();
    plan.desktop_offered = plan.link_count > 0 && script.ReadInt("Install", "Desk", 0) != 0;
    plan.quick_launch_offered = plan.link_count > 0 && script.ReadInt("Install", "QLaunch", 0) != 0;
    // The install sequence scans once from 'a' and then counts up without
    // looking: the licence, the log, and every shortcut.
    plan.sequence_first_letter = files.FirstFreeFrom(kFirstLetter);
    plan.sequence_keys = 2 + plan.link_count + (plan.desktop_offered ? 1 : 0) + (plan.quick_launch_offered ? 1 : 0);
    // Files beyond the simulated ones each need a key of their own too.
    plan.sequence_first_letter += static_cast<unsigned>(std::min<size_t>(file_count - simulated, 1u << 30));
    return plan;
}

}  // namespace kqpack
