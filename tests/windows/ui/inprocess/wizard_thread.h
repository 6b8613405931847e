// Runs the stub's setup wizard on a thread of its own, as the backdrop
// window's thread runs it, so that the test thread can drive it with the
// GUI driver and then look at what the wizard returned and left behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace kqinprocess {

class WizardThread {
public:
    WizardThread();
    // Ends a wizard that is still running (a failed test) by a quit request.
    ~WizardThread();
    WizardThread(const WizardThread&) = delete;
    WizardThread& operator=(const WizardThread&) = delete;

    // Waits for the wizard to return; false if it does not within the patience.
    bool WaitForEnd();
    int result() const { return result_; }
    // Whether a quit request (and its code) was left for the thread's own loop.
    bool quit_posted() const { return quit_posted_; }
    WPARAM quit_code() const { return quit_code_; }

private:
    std::thread thread_;
    std::atomic<bool> ended_{false};
    std::atomic<DWORD> thread_id_{0};
    int result_ = -1;
    bool quit_posted_ = false;
    WPARAM quit_code_ = 0;
};

}  // namespace kqinprocess
