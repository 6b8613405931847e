// The main of the end-to-end test programs. Most scenarios spend more than
// ten seconds waiting for the installer's clean-up timer, and they share no
// state, so each test runs in a child process of its own and all children
// run at once; their output follows in test order. With a --gtest_filter,
// a listing, or KQ_E2E_SERIAL=1 the tests run here, one after another.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/wine_paths.h"

namespace {

constexpr char kChildVariable[] = "KQ_E2E_CHILD";
// Less than the CTest timeout, so a hung child is reported by name.
constexpr DWORD kAllChildrenPatience = 420000;

struct Child {
    std::string test_name;
    std::string output_path;
    HANDLE process = nullptr;
    DWORD exit_code = STILL_ACTIVE;
    DWORD milliseconds = 0;
};

bool RunsInThisProcess() {
    const char* serial = std::getenv("KQ_E2E_SERIAL");
    return std::getenv(kChildVariable) != nullptr || (serial != nullptr && std::string(serial) == "1") ||
           GTEST_FLAG_GET(filter) != "*" || GTEST_FLAG_GET(list_tests);
}

std::vector<std::string> TestNames() {
    std::vector<std::string> names;
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const testing::TestSuite& suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            // Filters are applied only when the tests run; skip disabled ones here.
            const std::string name = suite.GetTestInfo(j)->name();
            if (name.rfind("DISABLED_", 0) != 0) names.push_back(std::string(suite.name()) + "." + name);
        }
    }
    return names;
}

bool StartChild(Child& child, const std::string& folder) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    child.output_path = folder + "\\" + child.test_name + ".txt";
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE output = CreateFileA(child.output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return false;
    std::string command = "\"" + std::string(self) + "\" --gtest_filter=" + child.test_name + " --gtest_color=no";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info{};
    const bool started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(output);
    if (!started) return false;
    CloseHandle(info.hThread);
    child.process = info.hProcess;
    return true;
}

int RunEachTestInItsOwnProcess() {
    SetEnvironmentVariableA(kChildVariable, "1");
    const std::string folder = kqtest::MakeScratchFolder("e2e-output");
    std::vector<Child> children;
    for (const std::string& name : TestNames()) {
        children.emplace_back();
        children.back().test_name = name;
    }
    std::printf("[parallel] %zu tests, each in its own process\n", children.size());
    std::fflush(stdout);

    const DWORD start = GetTickCount();
    for (Child& child : children)
        if (!StartChild(child, folder)) std::printf("[parallel] cannot start %s\n", child.test_name.c_str());
    for (Child& child : children) {
        if (child.process == nullptr) continue;
        const DWORD spent = GetTickCount() - start;
        const DWORD left = spent < kAllChildrenPatience ? kAllChildrenPatience - spent : 0;
        if (WaitForSingleObject(child.process, left) != WAIT_OBJECT_0) {
            // Its job ends whatever it started.
            TerminateProcess(child.process, 98);
            WaitForSingleObject(child.process, 10000);
        }
        GetExitCodeProcess(child.process, &child.exit_code);
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(child.process, &created, &exited, &kernel, &user)) {
            const auto ticks = [](const FILETIME& time) {
                return ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
            };
            child.milliseconds = static_cast<DWORD>((ticks(exited) - ticks(created)) / 10000);
        }
        CloseHandle(child.process);
    }

    int failed = 0;
    for (const Child& child : children) {
        std::printf("\n===== %s\n", child.test_name.c_str());
        std::fputs(kqtest::ReadBytes(child.output_path).c_str(), stdout);
        if (child.exit_code == 98) std::printf("[parallel] %s did not end in time\n", child.test_name.c_str());
        if (child.exit_code != 0) ++failed;
    }
    std::printf("\n[parallel] done in %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    for (const Child& child : children)
        std::printf("[parallel] %-6s %6lu ms  %s\n", child.exit_code == 0 ? "passed" : "FAILED",
                    static_cast<unsigned long>(child.milliseconds), child.test_name.c_str());
    std::printf("[parallel] %d of %zu tests failed\n", failed, children.size());
    std::fflush(stdout);
    return failed == 0 && !children.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (RunsInThisProcess()) return RUN_ALL_TESTS();
    return RunEachTestInItsOwnProcess();
}
