// The shape of the script: sections and keys the installer never reads
// (repeated, misspelt, outside a section, without '='), values it would cut,
// and text it would read in the wrong code page.
#include <algorithm>
#include <array>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "packing/text_encoding.h"

namespace kqpack {
namespace {

constexpr std::array<std::string_view, 4> kSections = {"Install", "Links", "Copymode", "Uninstall"};
constexpr std::array<std::string_view, 9> kInstallKeys = {"AppName", "AppBy",   "DefDir", "CompReg", "VerNum",
                                                          "AppFile", "FileNum", "Desk",   "QLaunch"};

// Lines starting like this are comments to an author; to the profile
// functions they are keys nobody asks for, which comes to the same.
bool IsComment(const ProfileEntry& entry) {
    return !entry.key.empty() && (entry.key.front() == ';' || entry.key.front() == '#');
}

// The stem of the sequence `key` belongs to in `section`, or "".
std::string_view StemOf(std::string_view section, std::string_view key) {
    for (const auto& [in, stem] : {std::pair{"Install", "dll"}, {"Links", "link"}, {"Links", "linkfile"}, {"Copymode", "file"}})
        if (SameName(section, in) && NumberOfKey(key, stem)) return stem;
    return {};
}

bool IsKnownKey(std::string_view section, std::string_view key) {
    if (!StemOf(section, key).empty()) return true;
    if (SameName(section, "Install"))
        return std::any_of(kInstallKeys.begin(), kInstallKeys.end(), [&](auto k) { return SameName(k, key); });
    // [Uninstall] is the installer's; the author is warned about it as a whole.
    return SameName(section, "Uninstall");
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = SameName(a.substr(i - 1, 1), b.substr(j - 1, 1));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A known name close enough to be what the author meant, or "".
template <size_t N>
std::string_view NearestName(std::string_view name, const std::array<std::string_view, N>& names) {
    for (std::string_view known : names)
        if (name.size() < 24 && EditDistance(name, known) <= 2) return known;
    return {};
}

// "[name]" for a section name as written.
std::string Bracketed(std::string_view name) {
    std::string text = "[";
    text += DisplayText(name);
    text += ']';
    return text;
}

void CheckSectionNames(const CheckContext& c) {
    const auto& sections = c.script.sections();
    for (size_t i = 1; i < sections.size(); ++i) {
        const ProfileSection& section = sections[i];
        const ProfileSection* first = c.script.FindSection(section.name);
        if (first != &section) {
            c.report.Warning(section.line, Bracketed(section.name),
                             "a second section of this name (the first is at line " + std::to_string(first->line) +
                                 "); the installer reads only the first: move these keys there");
            continue;
        }
        if (std::none_of(kSections.begin(), kSections.end(), [&](auto k) { return SameName(k, section.name); })) {
            const std::string_view near = NearestName(section.name, kSections);
            c.report.Warning(section.line, Bracketed(section.name),
                             "not a section the installer reads" +
                                 (near.empty() ? std::string() : "; did you mean [" + std::string(near) + "]?"));
        }
    }
    for (const ProfileEntry& entry : sections.front().entries) {
        if (IsComment(entry)) continue;
        c.report.Warning(entry.line, DisplayText(entry.key),
                         "outside any section, so never read: put it under [Install], [Links] or [Copymode]");
    }
}

void CheckKeys(const CheckContext& c, std::string_view section_name) {
    const ProfileSection* section = c.script.FindSection(section_name);
    if (section == nullptr) return;
    for (const ProfileEntry& entry : section->entries) {
        if (IsComment(entry)) continue;
        const std::string subject = Subject(section_name, entry.key);
        const ProfileEntry* first = c.script.FindEntry(section_name, entry.key);
        if (first != &entry) {
            c.report.Warning(entry.line, subject,
                             "set again; the installer reads only line " + std::to_string(first->line) +
                                 ": remove one of them");
            continue;
        }
        if (!IsKnownKey(section_name, entry.key)) {
            std::string_view near;
            if (SameName(section_name, "Install")) near = NearestName(entry.key, kInstallKeys);
            c.report.Warning(entry.line, subject,
                             "not a key the installer reads" +
                                 (near.empty() ? std::string() : "; did you mean " + std::string(near) + "?"));
            continue;
        }
        // The profile functions compare names through the code page: in many,
        // two letters above '~' name one key.
        const std::string_view stem = StemOf(section_name, entry.key);
        if (!stem.empty() && entry.key.size() == stem.size() + 1 && *NumberOfKey(entry.key, stem) > kq::kLetterKeyCount)
            c.report.Warning(entry.line, subject,
                             "a letter above '~' names no key safely on Windows (code pages fold such letters "
                             "together): write " + SequenceKey(stem, *NumberOfKey(entry.key, stem)));
        if (!entry.has_equals) {
            c.report.Warning(entry.line, subject, "has no '=', so the installer reads it as missing: write " +
                                                      DisplayKey(entry.key) + "=value");
            continue;
        }
        if (entry.value.size() > kProfileValueMax)
            c.report.Error(entry.line, subject,
                           std::to_string(entry.value.size()) + " characters, but the installer reads only the first " +
                               std::to_string(kProfileValueMax) + ": shorten it");
        // Windows keeps a comment after a value as part of it.
        if (entry.value.find(" ;") != std::string::npos || entry.value.find("\t;") != std::string::npos)
            c.report.Warning(entry.line, subject,
                             Quoted(entry.value) + " holds \" ;\": the installer keeps what follows as part of the "
                             "value (it shows in the uninstall entry): put comments on lines of their own");
        if (SameName(section_name, "Install") && SameName(entry.key, "AppFile"))
            c.report.Note(entry.line, subject,
                          "the installer does not use it: the program started at the end is the first link's target "
                          "([Links] linka)");
    }
}

// One warning per value the installer would read in the ANSI code page and
// get wrong. Key names are the installer's (a misspelt one is reported as
// unknown); comments and unread sections are left alone.
void CheckText(const CheckContext& c) {
    if (!c.script.bom().empty())
        c.report.Warning(1, "", "the script starts with a UTF-8 byte order mark; the installer reads the script "
                                "in the ANSI code page: save it as ANSI (Windows-1252) text");
    for (std::string_view section_name : {"Install", "Links", "Copymode"}) {
        const ProfileSection* section = c.script.FindSection(section_name);
        if (section == nullptr) continue;
        for (const ProfileEntry& entry : section->entries) {
            if (IsComment(entry)) continue;
            const AnsiProblem problem = FindAnsiProblem(entry.value);
            const std::string subject = Subject(section_name, entry.key);
            switch (problem.kind) {
                case AnsiProblem::Kind::kNone:
                    break;
                case AnsiProblem::Kind::kUtf8:
                    c.report.Warning(entry.line, subject,
                                     Quoted(entry.value) + " is UTF-8; the installer reads the script in the ANSI "
                                     "code page and would show \"" + Cp1252ToUtf8(entry.value) +
                                     "\": save the script as ANSI (Windows-1252) text");
                    break;
                case AnsiProblem::Kind::kUtf8NotInCodePage:
                    c.report.Warning(entry.line, subject,
                                     "'" + problem.culprit + "' is outside the ANSI code page (Windows-1252), so "
                                     "the installer cannot show it: use characters that code page has");
                    break;
                case AnsiProblem::Kind::kControl:
                    c.report.Warning(entry.line, subject,
                                     "holds the control character " + problem.culprit + ": remove it");
                    break;
                case AnsiProblem::Kind::kUndefined:
                    c.report.Warning(entry.line, subject,
                                     "holds the byte " + problem.culprit +
                                         ", which the ANSI code page (Windows-1252) leaves undefined: remove it");
                    break;
            }
        }
    }
}

}  // namespace

void CheckLayout(const CheckContext& c) {
    CheckSectionNames(c);
    for (std::string_view section : {"Install", "Links", "Copymode"}) CheckKeys(c, section);
    CheckText(c);
}

}  // namespace kqpack
