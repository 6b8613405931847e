// Plays one scenario row: writes the setup program, makes what the row
// needs beforehand, runs each phase (wizard, message boxes, exit code,
// checks), and finally compares the run's folder and the user's folders
// with how they were before: nothing may change there but what the row says.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "package/record_format.h"
#include "scenario.h"

namespace kqscenario {
namespace {

using kqh::Exists;

class Runner {
public:
    explicit Runner(const Row& row) : row_(row), wow64_(row.stub == Stub::kI686) {
        const std::string scratch = kqh::FreshFolder(row.name);
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        places_ = {{"app", std::string("KQ ") + row.name},
                   {"scratch", scratch},
                   {"home", scratch + "\\home"},
                   {"install", scratch + "\\home\\My Apps\\KQ " + row.name},
                   {"temp", scratch + "\\temp"},
                   {"utemp", scratch + "\\utemp"},
                   {"windows", windows},
                   {"programs", kqh::SpecialFolder(CSIDL_PROGRAMS)},
                   {"desktop", kqh::SpecialFolder(CSIDL_DESKTOPDIRECTORY)},
                   {"quicklaunch", kqh::SpecialFolder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch"},
                   {"data", kqh::WindowsPathOf(KQ_TEST_DATA_DIR)},
                   {"built", kqh::WindowsPathOf(KQ_TEST_BUILD_DIR)}};
        for (const char* folder :
             {"{temp}", "{utemp}", "{scratch}\\work", "{home}\\My Apps", "{scratch}\\bin", "{quicklaunch}"})
            SHCreateDirectoryExA(nullptr, Expand(folder).c_str(), nullptr);
    }

    void Play() {
        WriteSetupProgram();
        for (const auto& [where, what] : row_.before) Make(where, what);
        const std::vector<std::string> roots = {"{scratch}", "{programs}", "{desktop}", "{quicklaunch}"};
        std::vector<kqh::Tree> before;
        for (const std::string& root : roots) before.push_back(kqh::TakeTree(Expand(root)));
        for (size_t i = 0; i < row_.phases.size(); ++i) {
            SCOPED_TRACE("phase " + std::to_string(i + 1));
            PlayPhase(row_.phases[i]);
            if (testing::Test::HasFatalFailure()) return;
        }
        std::vector<std::string> allowed = {"{temp}", "{utemp}"};
        allowed.insert(allowed.end(), row_.leaves.begin(), row_.leaves.end());
        for (size_t i = 0; i < roots.size(); ++i)
            for (const std::string& change : kqh::TreeChanges(before[i], kqh::TakeTree(Expand(roots[i]))))
                if (!Allowed(change, allowed)) ADD_FAILURE() << "outside the run's places: " << change;
    }

private:
    std::string Expand(std::string text) const {
        // A brace that opens no placeholder ("file{=" in a log) stays as it is.
        for (size_t open = 0; (open = text.find('{', open)) != std::string::npos;) {
            const size_t close = text.find('}', open);
            const auto place = places_.find(text.substr(open + 1, close - open - 1));
            if (close == std::string::npos) break;
            if (place == places_.end()) {
                ++open;
                continue;
            }
            text.replace(open, close - open + 1, place->second);
            open += place->second.size();
        }
        return text;
    }

    // A check's or a file's bytes: literal text or one of the @ forms.
    std::string Contents(const std::string& value) const {
        if (value == "@stub") return kqh::StubBytes(wow64_);
        if (value == "@stub unsigned") return kqh::StubBytes(wow64_).replace(0xD8, 4, 4, '\0');  // PE header at 0x80
        if (value.rfind("@probe ", 0) == 0) return kqh::ReadBytes(kqh::WindowsPathOf(KQ_PROBE_DIR "/") + value.substr(7));
        if (value.rfind("@file ", 0) == 0) return kqh::ReadBytes(Expand(value.substr(6)));
        if (value.rfind("@random ", 0) == 0) {
            std::string bytes(std::stoul(value.substr(8)), '\0');
            uint32_t x = 1;
            for (char& c : bytes) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
            return bytes;
        }
        return Expand(value);
    }

    bool Allowed(const std::string& change, const std::vector<std::string>& allowed) const {
        const std::string path = change.substr(change.find(' ') + 1);
        for (const std::string& place : allowed) {
            const std::string prefix = kqh::Lower(Expand(place));
            if (path == prefix || path.rfind(prefix + "\\", 0) == 0) return true;
        }
        return false;
    }

    void WriteSetupProgram() {
        std::vector<kqtest::Record> records = {
            {.name = "setup.inf", .contents = Expand(row_.package.script), .attributes = row_.package.staged_attributes},
            {.name = "License.txt", .contents = row_.package.licence, .attributes = row_.package.staged_attributes}};
        for (const PackedFile& file : row_.package.files)
            records.push_back({.name = file.name, .contents = Contents(file.contents)});
        std::string bytes = kqh::StubBytes(wow64_);
        if (!row_.package.program.empty()) {
            bytes = Contents(row_.package.program);
        } else if (row_.package.verified) {
            bytes = kqtest::WithIntegrityRecord(bytes, records);
            size_t at = kq::kStubLength;
            for (int i = 0; i < row_.package.damaged_record; ++i) at += kq::ReadU32(reinterpret_cast<uint8_t*>(&bytes[at + 4]));
            if (row_.package.damaged_record >= 0) bytes[at + 20] ^= 0x20;
        } else {
            for (size_t i = 0; i < records.size(); ++i) {
                std::string record = kqtest::EncodeRecord(records[i]);
                if (static_cast<int>(i) == row_.package.damaged_record) record[7] = '\x7F';  // length past the end
                bytes += record;
            }
        }
        kqh::WriteBytes(Expand("{scratch}\\setup.exe"), bytes);
        kqh::WriteBytes(Expand("{scratch}\\bin\\Dizizev3.exe"), kqh::StubBytes(wow64_));
    }

    void Make(const std::string& where, const std::string& what) {
        if (where.rfind("HKLM|", 0) == 0) {
            const std::string setting = Expand(where.substr(5));
            const size_t bar = setting.rfind('|');
            kqh::SetRegistryString(setting.substr(0, bar), setting.substr(bar + 1), what, wow64_);
            return;
        }
        const std::string path = Expand(where);
        if (what == "@dir") {
            SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
            return;
        }
        SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
        const bool read_only = what.rfind("@readonly ", 0) == 0;
        kqh::WriteBytes(path, Contents(read_only ? what.substr(10) : what));
        if (read_only) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }

    std::string CommandOf(const Phase& phase, std::string& temp) const {
        temp = Expand(phase.action == Action::kInstall || phase.action == Action::kSetupOnly ? "{temp}" : "{utemp}");
        switch (phase.action) {
        case Action::kInstall:
        case Action::kSetupOnly: return Expand("\"{scratch}\\setup.exe\" " + phase.tail);
        case Action::kUninstall:
        case Action::kQuietUninstall:
            return kqh::RegistryString(Expand("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{app}"),
                                       phase.action == Action::kUninstall ? "UninstallString" : "QuietUninstallString",
                                       wow64_);
        case Action::kUninstaller: break;
        }
        return Expand("\"{scratch}\\bin\\Dizizev3.exe\" " + phase.tail);
    }

    void PlayPhase(const Phase& phase) {
        std::string temp;
        const std::string command = CommandOf(phase, temp);
        ASSERT_FALSE(command.empty()) << "no uninstall entry";
        kqh::Program program(command, temp, Expand("{scratch}\\work"));
        ASSERT_TRUE(program.started()) << command;
        if (phase.windowless) {
            std::string shown;
            kqh::WaitUntil([&] {
                for (HWND window : kqh::VisibleWindowsOf(program.id())) shown = "[" + kqh::ClassOf(window) + "]";
                return !program.Running();
            }, kqh::kPatience);
            EXPECT_EQ(shown, "") << "a window showed";
        }
        if (phase.action == Action::kInstall) {
            kqh::WizardWalk walk = phase.walk;
            walk.folder = Expand(walk.folder);
            walk.locked = Expand(walk.locked);
            std::string failure;
            ASSERT_TRUE(kqh::WalkWizard(program.id(), walk, &places_["proposed"], failure)) << failure;
            if (phase.watch_progress) WatchProgress(program);
        }
        for (const Prompt& prompt : phase.prompts) {
            const kqh::MessageBoxShown box = kqh::NextMessageBox(program);
            ASSERT_NE(box.window, nullptr) << "expected the message \"" << Expand(prompt.text) << "\"; "
                                           << (program.Running() ? "windows:" + kqh::DescribeWindows(program.id())
                                                                 : "the program ended first, exit code " +
                                                                       std::to_string(program.exit_code()));
            EXPECT_EQ(box.caption, Expand(prompt.caption));
            if (!prompt.text.empty()) {
                EXPECT_EQ(box.text, Expand(prompt.text));
            }
            kqh::Answer(box, prompt.answer);
        }
        if (phase.close_after_prompts) {
            for (HWND window : kqh::VisibleWindowsOf(program.id()))
                if (kqh::ClassOf(window) == "Install") PostMessageA(window, WM_CLOSE, 0, 0);
        }
        // Whatever else it shows is a failure; its clean-up timer alone takes ten seconds.
        for (kqh::MessageBoxShown box; (box = kqh::NextMessageBox(program)).window != nullptr;) {
            ADD_FAILURE() << "unexpected message \"" << box.caption << "\": \"" << box.text << "\"";
            kqh::Answer(box, IDNO);
        }
        ASSERT_TRUE(program.WaitForExit(0)) << "the program did not end; windows:" << kqh::DescribeWindows(program.id());
        EXPECT_EQ(program.exit_code(), phase.exit_code);
        for (const Check& check : phase.checks) Verify(check);
    }

    void WatchProgress(const kqh::Program& program) {
        const HWND backdrop = FindWindowA("Install", nullptr);  // the row's prefix has no other
        ASSERT_NE(backdrop, nullptr);
        RECT client;
        GetClientRect(backdrop, &client);
        POINT origin = {0, 0};
        ClientToScreen(backdrop, &origin);
        std::vector<int> fills;  // how many of 20 points along the bar's middle row are white, as it changes
        kqh::WaitUntil([&] {
            DWORD_PTR result = 0;
            EXPECT_TRUE(SendMessageTimeoutA(backdrop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) << "no answer";
            const kqh::Screen screen = kqh::CaptureScreen();
            int fill = 0;
            for (int point = 0; point < 20; ++point)
                fill += screen.At(origin.x + client.right / 3 * (40 + 2 * point + 1) / 40, origin.y + 438) == RGB(255, 255, 255);
            if (fill > 0 && (fills.empty() || fill != fills.back())) fills.push_back(fill);
            if (fills.size() == 1 && fill > 0) {
                // The backdrop's bands, blue from 255 down by one per band, at its right edge.
                for (const int y : {0, 300, static_cast<int>(client.bottom) - 1})
                    EXPECT_EQ(screen.At(origin.x + client.right - 1, origin.y + y),
                              RGB(0, 0, std::max(0, 255 - y / std::max(1, static_cast<int>(client.bottom) / 220))));
                if (const char* artefacts = std::getenv("KQ_ARTEFACT_DIR"))
                    kqh::SaveScreenshot(kqh::WindowsPathOf(artefacts) + "\\progress.bmp");
                PostMessageA(backdrop, WM_CLOSE, 0, 0);
            }
            return kqh::NextMessageBox(program, 0).window != nullptr || !program.Running();
        });
        EXPECT_GE(fills.size(), 2u) << "the progress bar did not grow";
        EXPECT_TRUE(std::is_sorted(fills.begin(), fills.end()));
    }

    void Verify(const Check& check) const {
        const std::string where = Expand(check.where);
        const std::string value = Expand(check.value);
        const size_t bar = where.rfind('|');
        switch (check.what) {
        case What::kFile: {
            // Registration and the program started at the end run unwaited: give them time.
            const std::string expected = check.value.empty() ? "" : Contents(check.value);
            const bool holds = kqh::WaitUntil(
                [&] { return Exists(where) && (check.value.empty() || kqh::ReadBytes(where) == expected); }, 20000);
            EXPECT_TRUE(holds) << where << (Exists(where) ? " holds \"" + kqh::ReadBytes(where).substr(0, 300) + "\""
                                                          : " is missing");
            break;
        }
        case What::kGone: EXPECT_FALSE(Exists(where)) << where; break;
        case What::kEmpty: EXPECT_TRUE(kqh::TakeTree(where).empty()) << where << " holds something"; break;
        case What::kLog: EXPECT_EQ(kqh::ProfileSection(where, "Uninstall"), value) << where; break;
        case What::kRegistry:
            EXPECT_EQ(kqh::RegistryString(where.substr(0, bar), where.substr(bar + 1), wow64_), value) << where;
            break;
        case What::kNoKey: EXPECT_FALSE(kqh::RegistryKeyExists(where, wow64_)) << where; break;
        case What::kLink: EXPECT_EQ(kqh::LinkTarget(where), value) << where; break;
        }
    }

    const Row& row_;
    const bool wow64_;
    std::map<std::string, std::string> places_;
};

class Scenario : public testing::TestWithParam<Row> {};

}  // namespace

// Names the row in test output instead of dumping its bytes.
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

namespace {

TEST_P(Scenario, Plays) {
    Runner(GetParam()).Play();
}

INSTANTIATE_TEST_SUITE_P(Rows, Scenario, testing::ValuesIn(Rows()),
                         [](const testing::TestParamInfo<Row>& row) {
                             std::string name = row.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
}  // namespace kqscenario
