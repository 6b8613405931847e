// The scenario fixture.
#include "scenario.h"

#include "driver/message_boxes.h"
#include "driver/wait.h"
#include "driver/window_finder.h"
#include "file_state.h"
#include "machine_registry.h"
#include "shell_places.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr int kAcceptLicence = 101;
constexpr int kIconControl = 1088;
constexpr char kLicenceDialogCaption[] = "Software License Agreement";

}  // namespace

std::string Installation::MenuFolder() const {
    return ProgramsFolder() + "\\" + app_name;
}

std::string Installation::UninstallKey() const {
    return kUninstallKeyPath + app_name;
}

std::string Installation::AppKey() const {
    return "Software\\" + comp_reg + "\\" + app_name;
}

void Installation::Remove() const {
    if (app_name.empty()) return;
    RemoveTree(install_folder);
    RemoveTree(MenuFolder());
    for (const std::string& link : link_files) {
        for (const std::string& place : {DesktopFolder(), QuickLaunchFolder(), StartupFolder()}) {
            const std::string path = place + "\\" + link;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    DeleteMachineTree(UninstallKey());
    if (!comp_reg.empty()) DeleteMachineTree(AppKey());
}

std::string ClosingQuestion(const std::string& app_name) {
    return app_name + " Setup is complete. If you need help getting started,\nclick the " + app_name +
           " Help menu item on your Start Menu.\n\nRun " + app_name + "?";
}

std::string UninstallQuestion(const std::string& app_name) {
    return "Are you sure you want to completely\nremove " + app_name + " from your computer?";
}

void Scenario::SetUp() {
    folder_ = kqtest::MakeScratchFolder("e2e");
    temp_folder_ = folder_ + "\\temp";
    working_folder_ = folder_ + "\\work";
    uninstall_temp_folder_ = folder_ + "\\uninstall-temp";
    for (const std::string& path : {temp_folder_, working_folder_, uninstall_temp_folder_})
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    ASSERT_NE(job_.handle(), nullptr) << "no job object";
    // A user's Windows has a Quick Launch folder; a new Wine prefix has none,
    // and without it an accepted Quick Launch shortcut could not be saved.
    CreateQuickLaunchFolder();
}

void Scenario::TearDown() {
    wizard_.reset();
    job_.EndAll();
    for (const Installation& installation : owned_) installation.Remove();
    for (const std::string& path : owned_files_) RemoveTree(path);
}

void Scenario::Owns(const std::string& path) {
    RemoveTree(path);
    owned_files_.push_back(path);
}

Installation Scenario::Expect(const std::string& app_name, const std::string& def_dir, const std::string& comp_reg,
                              const std::vector<std::string>& link_files) {
    Installation installation;
    installation.app_name = app_name;
    // The proposed default: the temp folder's drive root + "Program Files\" + DefDir.
    installation.install_folder = temp_folder_.substr(0, temp_folder_.find('\\') + 1) + "Program Files\\" + def_dir;
    installation.comp_reg = comp_reg;
    installation.link_files = link_files;
    installation.Remove();
    owned_.push_back(installation);
    return installation;
}

std::unique_ptr<ProgramRun> Scenario::StartSetup(const std::string& package_path, const std::string& file_name) {
    const std::string program = folder_ + "\\" + file_name;
    const std::string package = kqtest::ReadBytes(kqtest::WindowsPathOf(package_path));
    EXPECT_GT(package.size(), 43008u) << package_path;
    kqtest::WriteBytes(program, package);
    return StartProgram(program);
}

std::unique_ptr<ProgramRun> Scenario::StartProgram(const std::string& program) {
    auto run = std::make_unique<ProgramRun>(job_, CommandLine(program), temp_folder_, working_folder_);
    EXPECT_TRUE(run->started()) << "cannot start " << program;
    return run;
}

std::unique_ptr<ProgramRun> Scenario::StartCommand(const std::string& command_line) {
    // Every installation in the prefix rewrites the uninstaller in the
    // Windows folder, and a scenario running beside this one may be doing so
    // right now: while the file is open for writing it cannot be started.
    std::unique_ptr<ProgramRun> run;
    kqgui::WaitUntil([&] {
        run = std::make_unique<ProgramRun>(job_, command_line, uninstall_temp_folder_, working_folder_);
        return run->started();
    });
    EXPECT_TRUE(run->started()) << "cannot start " << command_line;
    return run;
}

void Scenario::WalkToFinishPage(const ProgramRun& setup) {
    ASSERT_TRUE(setup.started());
    wizard_ = std::make_unique<kqgui::WizardDriver>(setup.id());
    ASSERT_TRUE(wizard_->WaitUntilShown()) << "no wizard\n" << DescribeWindows(setup.id());
    ASSERT_TRUE(wizard_->WaitForPage(kqgui::kWelcomePage)) << "shows " << wizard_->CurrentPageCaption();
    ASSERT_TRUE(wizard_->Press(kqgui::WizardButton::kNext));
    const HWND licence = kqgui::WaitForVisibleWindow(setup.id(), kqgui::kDialogClass, kLicenceDialogCaption);
    ASSERT_NE(licence, nullptr) << "no licence dialog\n" << DescribeWindows(setup.id());
    kqgui::ClickButton(licence, kAcceptLicence);
    ASSERT_TRUE(kqgui::WaitForGone(licence));
    ASSERT_TRUE(wizard_->WaitForPage(kqgui::kInstallWherePage)) << "shows " << wizard_->CurrentPageCaption();
    ASSERT_TRUE(wizard_->Press(kqgui::WizardButton::kNext));
    ASSERT_TRUE(wizard_->WaitForPage(kqgui::kFinishPage)) << "shows " << wizard_->CurrentPageCaption();
}

void Scenario::AnswerPrompts(const ProgramRun& run, const std::vector<Prompt>& prompts) {
    for (const Prompt& prompt : prompts) {
        const ShownBox box = NextMessageBox(run.id());
        ASSERT_NE(box.window, nullptr) << "no message box; expected \"" << prompt.text << "\"\n"
                                       << DescribeWindows(run.id());
        EXPECT_EQ(box.caption, prompt.caption);
        ASSERT_EQ(box.text, prompt.text);
        Answer(box, prompt.answer);
    }
}

void Scenario::ExpectCleanEnd(ProgramRun& run, DWORD timeout_ms) {
    ASSERT_TRUE(run.WaitForExit(timeout_ms)) << "the program did not end\n" << DescribeWindows(run.id());
    EXPECT_EQ(run.exit_code(), 0u);
}

void Scenario::Install(const std::string& package_path, const std::vector<Prompt>& prompts) {
    const std::unique_ptr<ProgramRun> setup = StartSetup(package_path);
    ASSERT_NO_FATAL_FAILURE(WalkToFinishPage(*setup));
    ASSERT_TRUE(wizard().Press(kqgui::WizardButton::kFinish));
    ASSERT_NO_FATAL_FAILURE(AnswerPrompts(*setup, prompts));
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*setup, kCleanupPatience));
}

std::string Scenario::UninstallWithYes(const Installation& installation) {
    const std::string command = ReadMachineValue(installation.UninstallKey(), "UninstallString").data;
    EXPECT_FALSE(command.empty()) << "no uninstall entry for " << installation.app_name;
    if (command.empty()) return "";
    const std::unique_ptr<ProgramRun> uninstall = StartCommand(command);
    const ShownBox question = NextMessageBox(uninstall->id());
    EXPECT_EQ(question.text, UninstallQuestion(installation.app_name)) << DescribeWindows(uninstall->id());
    if (question.window == nullptr) return "";
    Answer(question, IDYES);
    const ShownBox report = NextMessageBox(uninstall->id());
    EXPECT_NE(report.window, nullptr) << "no report\n" << DescribeWindows(uninstall->id());
    if (report.window == nullptr) return "";
    EXPECT_EQ(report.caption, "Uninstall");
    Answer(report, IDOK);
    EXPECT_TRUE(uninstall->WaitForExit()) << "the uninstaller did not end\n" << DescribeWindows(uninstall->id());
    EXPECT_EQ(uninstall->exit_code(), 0u);
    return report.text;
}

ShownBox NextMessageBox(DWORD process_id, DWORD timeout_ms) {
    ShownBox box;
    kqgui::WaitUntil(
        [&] {
            for (HWND window : kqgui::VisibleTopLevelWindowsOf(process_id)) {
                if (kqgui::ClassOf(window) != kqgui::kDialogClass ||
                    GetDlgItem(window, kqgui::kMessageTextId) == nullptr)
                    continue;
                box.window = window;
                return true;
            }
            return false;
        },
        timeout_ms);
    if (box.window == nullptr) return box;
    box.caption = kqgui::TextOf(box.window);
    box.text = kqgui::MessageBoxText(box.window);
    DWORD_PTR icon = 0;
    const HWND icon_control = GetDlgItem(box.window, kIconControl);
    if (icon_control != nullptr)
        SendMessageTimeoutA(icon_control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
    box.has_icon = icon != 0;
    return box;
}

void Answer(const ShownBox& box, int button) {
    kqgui::ClickButton(box.window, button);
    EXPECT_TRUE(kqgui::WaitForGone(box.window)) << "\"" << box.text << "\" stayed after button " << button;
}

std::string DescribeWindows(DWORD process_id) {
    std::string description;
    for (HWND window : kqgui::VisibleTopLevelWindowsOf(process_id)) {
        description += "  window " + kqgui::ClassOf(window) + " \"" + kqgui::TextOf(window) + "\"";
        if (GetDlgItem(window, kqgui::kMessageTextId) != nullptr)
            description += ": \"" + kqgui::MessageBoxText(window) + "\"";
        description += "\n";
    }
    return description.empty() ? "  (no visible window)\n" : description;
}

}  // namespace kqe2e
