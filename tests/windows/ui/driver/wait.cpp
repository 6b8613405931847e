// Polling with a deadline.
#include "wait.h"

namespace kqgui {

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
}

}  // namespace kqgui
