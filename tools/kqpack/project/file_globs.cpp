// Matching and expanding file patterns without recursion: a greedy matcher
// that backs up to the last star, at the level of characters and of names.
#include "project/file_globs.h"

#include <algorithm>
#include <system_error>

#include "packing/file_io.h"

namespace kqpack {
namespace {

std::vector<std::string_view> SplitNames(std::string_view path) {
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        if (end > start) names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool IsHidden(std::string_view name) { return !name.empty() && name.front() == '.'; }

// One name against one pattern name with '*' and '?'.
bool NameMatches(std::string_view pattern, std::string_view name) {
    if (IsHidden(name) && !IsHidden(pattern)) return false;
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool InstallOrderLess(std::string_view a, std::string_view b) {
    const std::vector<std::string_view> x = SplitNames(a), y = SplitNames(b);
    size_t k = 0;
    while (k < x.size() && k < y.size() && x[k] == y[k]) ++k;
    if (k == x.size() || k == y.size()) return x.size() < y.size();
    const bool x_is_file = k + 1 == x.size(), y_is_file = k + 1 == y.size();
    if (x_is_file != y_is_file) return y_is_file;  // a subfolder's files first
    return x[k] < y[k];
}

bool HasWildcard(std::string_view pattern) { return pattern.find_first_of("*?") != std::string_view::npos; }

bool GlobMatches(std::string_view pattern, std::string_view path) {
    const std::vector<std::string_view> want = SplitNames(pattern);
    const std::vector<std::string_view> have = SplitNames(path);
    size_t p = 0, n = 0, star = SIZE_MAX, resume = 0;
    while (n < have.size()) {
        if (p < want.size() && want[p] == "**") {
            star = p++;
            resume = n;
        } else if (p < want.size() && NameMatches(want[p], have[n])) {
            ++p;
            ++n;
        } else if (star != SIZE_MAX && !IsHidden(have[resume])) {
            // The last "**" takes one more name, and matching starts over after it.
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < want.size() && want[p] == "**") ++p;
    return p == want.size();
}

std::vector<std::string> ExpandPattern(const std::filesystem::path& root, std::string_view pattern_text) {
    std::string pattern(pattern_text);
    std::replace(pattern.begin(), pattern.end(), '\\', '/');
    const std::vector<std::string_view> names = SplitNames(pattern);
    if (names.empty() || pattern.front() == '/' || (pattern.size() >= 2 && pattern[1] == ':'))
        throw InputError{pattern + ": not a path relative to the project's root"};
    if (std::find(names.begin(), names.end(), "..") != names.end())
        throw InputError{pattern + ": '..' would leave the project's root"};

    std::error_code ec;
    if (!HasWildcard(pattern)) {
        const std::filesystem::path named = root / PathFromText(pattern);
        if (std::filesystem::is_regular_file(named, ec)) {
            std::string relative;
            for (std::string_view name : names) {
                if (!relative.empty()) relative += '/';
                relative += name;
            }
            return {relative};
        }
        if (!std::filesystem::is_directory(named, ec)) throw InputError{pattern + ": no such file or folder"};
        pattern += pattern.back() == '/' ? "**" : "/**";
    }

    // Walk from the deepest folder the pattern names literally.
    std::string base;
    for (std::string_view name : SplitNames(pattern)) {
        if (HasWildcard(name)) break;
        const std::string folder = base + std::string(name);
        if (!std::filesystem::is_directory(root / PathFromText(folder), ec)) break;
        base = folder + "/";
    }
    std::vector<std::string> matches;
    const std::filesystem::path start = root / PathFromText(base);
    if (!std::filesystem::is_directory(start, ec)) return matches;
    std::filesystem::recursive_directory_iterator it(start, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        // Hidden folders are never entered; hidden files match only a
        // pattern name that starts with '.' too.
        if (it->is_directory(ec)) {
            if (IsHidden(it->path().filename().string())) it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(ec)) continue;
        const std::string relative = base + it->path().lexically_relative(start).generic_string();
        if (GlobMatches(pattern, relative)) matches.push_back(relative);
    }
    if (ec) throw InputError{start.string() + ": " + ec.message()};
    std::sort(matches.begin(), matches.end(), InstallOrderLess);
    return matches;
}

}  // namespace kqpack
