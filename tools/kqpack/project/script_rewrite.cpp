// Rewriting the setup script line by line: FileNum replaced where the author
// has it (or added at the end of [Install]), the file keys of the first
// [Copymode] replaced by generated ones right under its header (or a new
// [Copymode] at the end).
#include "project/script_rewrite.h"

#include <map>

#include "check/lettered_keys.h"

namespace kqpack {
namespace {

struct OutLine {
    std::string text;
    Location origin;
};

}  // namespace

GeneratedScript WriteGeneratedKeys(const ProfileText& script, const std::string& author,
                                   const std::vector<unsigned>& file_keys, const std::vector<int32_t>& copy_modes,
                                   const std::vector<Location>& file_origins, const Location& files_origin) {
    GeneratedScript result;
    const std::string file_num = std::to_string(file_keys.size());
    std::vector<OutLine> copymode_lines;
    for (size_t i = 0; i < file_keys.size() && i < copy_modes.size(); ++i) {
        copymode_lines.push_back({SequenceKey("file", file_keys[i]) + "=" + std::to_string(copy_modes[i]),
                                  i < file_origins.size() ? file_origins[i] : files_origin});
    }

    // What happens at each author line (1-based): replaced, dropped, or
    // followed by generated lines.
    std::map<size_t, std::string> replaced;
    std::map<size_t, bool> dropped;
    std::map<size_t, std::vector<OutLine>> after;
    std::vector<OutLine> at_end;

    const ProfileSection* install = script.FindSection("Install");
    const ProfileEntry* file_num_entry = script.FindEntry("Install", "FileNum");
    if (file_num_entry != nullptr) {
        replaced[file_num_entry->line] = file_num_entry->key + "=" + file_num;
        if (file_num_entry->value != file_num)
            result.notices.push_back({Severity::kNote, {author, file_num_entry->line}, "[Install] FileNum",
                                      "set to " + file_num + " in the package, for the files the project lists"});
    } else if (install != nullptr) {
        const size_t last = install->entries.empty() ? install->line : install->entries.back().line;
        after[last].push_back({"FileNum=" + file_num, files_origin});
    } else {
        at_end.push_back({"[Install]", files_origin});
        at_end.push_back({"FileNum=" + file_num, files_origin});
    }

    if (const ProfileSection* copymode = script.FindSection("Copymode")) {
        std::string replaced_keys;
        for (const ProfileEntry& entry : copymode->entries) {
            if (!NumberOfKey(entry.key, "file")) continue;
            dropped[entry.line] = true;
            replaced_keys += (replaced_keys.empty() ? "" : ", ") + DisplayKey(entry.key);
        }
        if (!replaced_keys.empty())
            result.notices.push_back({Severity::kWarning, {author, copymode->line}, "[Copymode]",
                                      replaced_keys + " replaced by the copy modes of the project's files: give copy "
                                      "modes in the project file and remove these keys"});
        auto& lines = after[copymode->line];
        lines.insert(lines.end(), copymode_lines.begin(), copymode_lines.end());
    } else {
        at_end.push_back({"", files_origin});
        at_end.push_back({"[Copymode]", files_origin});
        at_end.insert(at_end.end(), copymode_lines.begin(), copymode_lines.end());
    }

    const std::string eol = script.PreferredEol();
    auto emit = [&](const std::string& text, const std::string& line_end, const Location& origin) {
        result.text += text + line_end;
        result.line_origins.push_back(origin);
    };
    result.text = script.bom();
    const auto& lines = script.lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t number = i + 1;
        const bool last = i + 1 == lines.size();
        const bool more_follows = after.count(number) > 0 || !at_end.empty();
        const std::string line_end = lines[i].eol.empty() && (!last || more_follows) ? eol : lines[i].eol;
        if (!dropped.count(number)) {
            const auto swap = replaced.find(number);
            emit(swap != replaced.end() ? swap->second : lines[i].text, line_end, {author, number});
        }
        if (const auto extra = after.find(number); extra != after.end())
            for (const OutLine& line : extra->second) emit(line.text, eol, line.origin);
    }
    for (const OutLine& line : at_end) emit(line.text, eol, line.origin);
    return result;
}

}  // namespace kqpack
