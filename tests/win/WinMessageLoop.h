#pragma once
// The window's message loop as the program runs it, for tests that wait on
// what it brings: each wait ends when its condition holds, or fails after a
// generous limit instead of hanging.

#include <windows.h>

#include <chrono>
#include <functional>

#include "win/Form1Window.h"

namespace brim::test {

inline constexpr std::chrono::seconds kGenerousWait{60};

// Dispatches messages (through the window's keyboard handling, as the
// program's loop does) until `done` holds; false when the limit came first.
inline bool pumpUntil(win::Form1Window& form, const std::function<bool()>& done,
                      std::chrono::seconds limit = kGenerousWait) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT || form.preTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

}  // namespace brim::test
