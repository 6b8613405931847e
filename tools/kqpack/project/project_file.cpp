// Reading the project file and expanding its [Files].
#include "project/project_file.h"

#include <set>

#include "check/profile_text.h"
#include "packing/file_io.h"
#include "packing/package_writer.h"
#include "project/file_globs.h"

namespace kqpack {
namespace {

[[noreturn]] void Refuse(const Project& project, size_t line, const std::string& why) {
    throw ProjectFileError{{FormatFinding(Finding{Severity::kError, Location{project.file.string(), line}, "", why})}};
}

// In our own project files a ';' or '#' after blank space starts a comment,
// also after a value ("output = out/x.exe ; where it goes").
std::string WithoutComment(std::string text) {
    for (size_t i = 1; i < text.size(); ++i) {
        if ((text[i] == ';' || text[i] == '#') && (text[i - 1] == ' ' || text[i - 1] == '\t')) {
            text.erase(i);
            break;
        }
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

bool IsComment(const ProfileEntry& entry) {
    return !entry.key.empty() && (entry.key.front() == ';' || entry.key.front() == '#');
}

void ReadProjectSection(Project& project, const ProfileSection& section, const std::filesystem::path& folder) {
    struct Key {
        const char* name;
        std::filesystem::path* target;
    };
    const Key keys[] = {{"stub", &project.stub},     {"script", &project.script}, {"license", &project.licence},
                        {"output", &project.output}, {"root", &project.root}};
    std::set<std::string> seen;
    for (const ProfileEntry& entry : section.entries) {
        if (IsComment(entry)) continue;
        const Key* key = nullptr;
        for (const Key& k : keys)
            if (SameName(entry.key, k.name)) key = &k;
        const bool sign = SameName(entry.key, "sign");
        if (key == nullptr && !sign)
            Refuse(project, entry.line,
                   "[Project] has no key '" + entry.key + "' (stub, script, license, output, root, sign)");
        const std::string name = sign ? "sign" : key->name;
        if (!seen.insert(name).second) Refuse(project, entry.line, name + " is given twice");
        const std::string value = WithoutComment(entry.value);
        if (value.empty()) Refuse(project, entry.line, name + (sign ? " needs a command" : " needs a path"));
        if (sign) {
            project.sign = value;
            continue;
        }
        try {
            *key->target = folder / PathFromText(value);
        } catch (const InputError& e) {
            Refuse(project, entry.line, e.message);
        }
    }
}

}  // namespace

std::optional<int32_t> CopyModeFromText(std::string_view text) {
    static const std::pair<const char*, int32_t> kModes[] = {
        {"1", 1}, {"replace", 1}, {"2", 2}, {"ask", 2}, {"3", 3}, {"keep", 3}, {"8", 8}, {"windows", 8}};
    for (const auto& [name, mode] : kModes)
        if (SameName(text, name)) return mode;
    return std::nullopt;
}

Project LoadProject(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = ReadWholeFile(file);
    const ProfileText text = ProfileText::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    Project project;
    project.file = file;
    const std::filesystem::path folder = file.parent_path();
    project.root = folder;

    bool have_project = false, have_files = false;
    for (const ProfileEntry& entry : text.sections().front().entries)
        if (!IsComment(entry)) Refuse(project, entry.line, "outside a section: put it under [Project] or [Files]");
    for (size_t i = 1; i < text.sections().size(); ++i) {
        const ProfileSection& section = text.sections()[i];
        if (SameName(section.name, "Project")) {
            if (have_project) Refuse(project, section.line, "a second [Project] section");
            have_project = true;
            ReadProjectSection(project, section, folder);
        } else if (SameName(section.name, "Files")) {
            if (have_files) Refuse(project, section.line, "a second [Files] section");
            have_files = true;
            project.files_line = section.line;
            for (const ProfileEntry& entry : section.entries) {
                if (IsComment(entry)) continue;
                ProjectEntry item{entry.has_equals ? entry.key : WithoutComment(entry.key), std::nullopt, entry.line};
                if (entry.has_equals) {
                    const std::string mode = WithoutComment(entry.value);
                    item.copy_mode = CopyModeFromText(mode);
                    if (!item.copy_mode)
                        Refuse(project, entry.line,
                               "'" + mode + "' is not a copy mode (replace or 1, ask or 2, keep or 3, windows or 8)");
                }
                if (item.pattern.empty()) Refuse(project, entry.line, "a copy mode without a file");
                project.entries.push_back(std::move(item));
            }
        } else {
            Refuse(project, section.line, "unknown section [" + section.name + "] (the sections are [Project] and [Files])");
        }
    }
    if (!have_project) Refuse(project, 0, "no [Project] section");
    if (project.script.empty()) Refuse(project, 0, "[Project] needs script=<the setup script>");
    if (project.licence.empty()) Refuse(project, 0, "[Project] needs license=<the licence text>");
    return project;
}

std::vector<ProjectFile> ExpandProjectFiles(const Project& project) {
    std::vector<ProjectFile> files;
    std::set<std::string> taken;
    for (const ProjectEntry& entry : project.entries) {
        std::vector<std::string> matches;
        try {
            matches = ExpandPattern(project.root, entry.pattern);
        } catch (const InputError& e) {
            Refuse(project, entry.line, e.message);
        }
        if (matches.empty())
            Refuse(project, entry.line,
                   entry.pattern + ": matches no file under " + project.root.string() +
                       " (folders and globs skip names starting with '.'; name such a file to package it)");
        for (const std::string& relative : matches) {
            if (!taken.insert(relative).second) {
                std::error_code ec;
                if (std::filesystem::is_regular_file(project.root / PathFromText(entry.pattern), ec))
                    Refuse(project, entry.line, relative + " is listed twice");
                continue;
            }
            ProjectFile file;
            file.source = project.root / PathFromText(relative);
            try {
                file.stored_name = StoredNameFor(InstallerNameOf(relative));
            } catch (const InputError& e) {
                Refuse(project, entry.line, e.message);
            }
            file.copy_mode = entry.copy_mode.value_or(1);
            file.origin = Location{project.file.string(), entry.line};
            files.push_back(std::move(file));
        }
    }
    return files;
}

}  // namespace kqpack
