// The wizard's own thread.
#include "wizard_thread.h"

#include "driver/wait.h"
#include "ui/setup_wizard.h"

namespace kqinprocess {

WizardThread::WizardThread() {
    thread_ = std::thread([this] {
        thread_id_ = GetCurrentThreadId();
        result_ = kq::RunSetupWizard(nullptr, nullptr);
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            quit_posted_ = true;
            quit_code_ = message.wParam;
        }
        ended_ = true;
    });
}

WizardThread::~WizardThread() {
    if (!ended_) {
        kqgui::WaitUntil([&] { return thread_id_ != 0; });
        PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    }
    thread_.join();
}

bool WizardThread::WaitForEnd() {
    return kqgui::WaitUntil([&] { return ended_.load(); });
}

}  // namespace kqinprocess
