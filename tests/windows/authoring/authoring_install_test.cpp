// A package as an author builds it: a project file whose files take the four
// copy modes (replace, keep, ask, windows). Installed over copies already in
// place, with No to the overwrite question, then uninstalled. The uninstall
// log must agree with what `kqpack list --json` said each file would take.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/file_state.h"
#include "support/machine_registry.h"
#include "support/profile_entries.h"
#include "support/scenario.h"
#include "support/shell_places.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr char kAppName[] = "E2E Authoring";
constexpr char kLink[] = "E2E Authoring.lnk";
constexpr char kSharedLibrary[] = "kqe2e_sys.dll";

struct ListedFile {
    std::string name;
    std::string uninstall_key;
    int copy_mode = 0;
};

// A string field of one record line of the listing; kqpack writes one
// record per line and escapes only backslashes and quotes in these names.
std::string StringField(const std::string& line, const std::string& field) {
    const std::string opening = "\"" + field + "\": \"";
    size_t at = line.find(opening);
    if (at == std::string::npos) return "";
    std::string value;
    for (at += opening.size(); at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\' && at + 1 < line.size()) ++at;
        value += line[at];
    }
    return value;
}

int IntegerField(const std::string& line, const std::string& field) {
    const std::string opening = "\"" + field + "\": ";
    const size_t at = line.find(opening);
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + opening.size());
}

std::vector<ListedFile> ListedFiles() {
    std::vector<ListedFile> files;
    const std::string listing = kqtest::ReadBytes(kqtest::WindowsPathOf(KQ_AUTHORING_LISTING));
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        const std::string line = listing.substr(start, end - start);
        if (StringField(line, "role") == "file")
            files.push_back({StringField(line, "name"), StringField(line, "uninstall_key"), IntegerField(line, "copy_mode")});
        start = end + 1;
    }
    return files;
}

std::string PackedFile(const std::string& relative_path) {
    return kqtest::ReadBytes(kqtest::WindowsPathOf(std::string(KQ_AUTHORING_DATA_DIR) + "/files/" + relative_path));
}

class Authoring : public Scenario {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Scenario::SetUp());
        app_ = Expect(kAppName, "E2E Authoring", "KQ E2E Tests", {kLink});
        char windows[MAX_PATH];
        ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
        windows_folder_ = windows;
        Owns(InWindows(kSharedLibrary));
    }

    std::string InFolder(const std::string& name) const { return app_.install_folder + "\\" + name; }
    std::string InWindows(const std::string& name) const { return windows_folder_ + "\\" + name; }

    Installation app_;
    std::string windows_folder_;
};

TEST_F(Authoring, CopyModesFromTheProjectFileDecideAndTheLogAgreesWithTheListing) {
    ASSERT_TRUE(CreateDirectoryA(app_.install_folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(InFolder("data").c_str(), nullptr));
    kqtest::WriteBytes(InFolder("data\\cfg.ini"), "[Settings]\r\nfrom=user\r\n");
    kqtest::WriteBytes(InFolder("notes.txt"), "The user's notes.\r\n");
    kqtest::WriteBytes(InWindows(kSharedLibrary), "an older shared library\r\n");

    ASSERT_NO_FATAL_FAILURE(Install(KQ_AUTHORING_SETUP, {
                                                            {InFolder("notes.txt"), "File exists.  Overwrite?", IDNO},
                                                            {"Setup Complete", ClosingQuestion(kAppName), IDNO},
                                                        }));
    EXPECT_EQ(kqtest::ReadBytes(InFolder("app.exe")), PackedFile("app.exe"));
    EXPECT_EQ(kqtest::ReadBytes(InFolder("data\\cfg.ini")), "[Settings]\r\nfrom=user\r\n") << "keep replaced it";
    EXPECT_EQ(kqtest::ReadBytes(InFolder("notes.txt")), "The user's notes.\r\n") << "No to the question replaced it";
    EXPECT_EQ(kqtest::ReadBytes(InWindows(kSharedLibrary)), PackedFile(kSharedLibrary));
    EXPECT_FALSE(Exists(InFolder(kSharedLibrary))) << "a windows-mode file landed in the install folder";

    const std::vector<ProfileEntry> expected = {
        {"filea", InFolder("app.exe")},
        {"direa", "data"},
        {"fileb", InFolder("data\\cfg.ini")},
        {"filec", InFolder("notes.txt")},
        {"filed", InWindows(kSharedLibrary)},
        {"filee", InFolder("License.txt")},
        {"filef", InFolder("Uninstal.inf")},
        {"dir", app_.install_folder},
        {"linkdir", app_.MenuFolder()},
        {"fileg", app_.MenuFolder() + "\\" + kLink},
    };
    EXPECT_EQ(SectionEntries(app_.Log(), "Uninstall"), expected);

    // What the packaging tool predicted, file by file, is what the installer did.
    const std::vector<ListedFile> listed = ListedFiles();
    ASSERT_EQ(listed.size(), 4u);
    const std::vector<int> modes = {1, 3, 2, 8};
    for (size_t i = 0; i < listed.size(); ++i) {
        const ListedFile& file = listed[i];
        SCOPED_TRACE(file.name);
        EXPECT_EQ(file.copy_mode, modes[i]);
        EXPECT_EQ(ProfileValue(app_.Log(), "Copymode", file.uninstall_key), std::to_string(file.copy_mode));
        const std::string destination = file.copy_mode == 8 ? InWindows(file.name) : InFolder(file.name);
        EXPECT_EQ(ProfileValue(app_.Log(), "Uninstall", file.uninstall_key), destination);
    }

    EXPECT_EQ(UninstallWithYes(app_), std::string(kAppName) + " has been uninstalled.");
    for (const std::string& path :
         {InFolder("app.exe"), InFolder("data\\cfg.ini"), InFolder("notes.txt"), InWindows(kSharedLibrary)})
        EXPECT_FALSE(Exists(path)) << path;
    EXPECT_FALSE(Exists(InFolder("data")));
    EXPECT_FALSE(Exists(app_.install_folder));
}

}  // namespace
}  // namespace kqe2e
