// Driving the setup wizard from outside: find it by its structure, tell its
// pages apart by their captions, press its buttons as a user would.
#pragma once

#include <windows.h>

#include <string>

#include "wait.h"

namespace kqgui {

// Page captions, as the page templates give them.
inline constexpr char kWelcomePage[] = "Welcome to Setup";
inline constexpr char kInstallWherePage[] = "Where to install?";
inline constexpr char kFinishPage[] = "Install";

enum class WizardButton { kBack, kNext, kFinish, kCancel };

class WizardDriver {
public:
    explicit WizardDriver(DWORD process_id) : process_id_(process_id) {}

    // Waits for the wizard frame: a visible dialog holding the Next button
    // (Wine shows the page's caption on the frame, not the sheet's).
    bool WaitUntilShown(DWORD timeout_ms = kPatience);
    HWND frame() const { return frame_; }
    bool Exists() const { return frame_ != nullptr && IsWindow(frame_); }

    HWND CurrentPage() const;
    std::string CurrentPageCaption() const;
    bool WaitForPage(const std::string& caption, DWORD timeout_ms = kPatience);

    // Waits until the button is visible and enabled (pages set the buttons by
    // posted messages), then posts the press. False if it never becomes usable.
    bool Press(WizardButton button);

private:
    DWORD process_id_;
    HWND frame_ = nullptr;
};

}  // namespace kqgui
