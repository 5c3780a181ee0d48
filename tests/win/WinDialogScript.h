#pragma once
// A modal dialog of the Windows front end, worked by a script that runs
// inside its message loop (a timer of the test's thread) as a user would.

#include <windows.h>

#include <functional>
#include <string>

namespace brim::test {

// Runs `script` on the dialog captioned `caption` once it shows, then closes it. A
// dialog that never shows, or a script that fails, closes it all the same,
// so that the modal loop always ends.
class DialogScript {
  public:
    static bool run(std::wstring caption, const std::function<INT_PTR()>& open,
                    std::function<void(HWND)> script) {
        DialogScript s{std::move(caption), std::move(script)};
        current_ = &s;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &DialogScript::tick);
        const INT_PTR closed = open();
        KillTimer(nullptr, timer);
        current_ = nullptr;
        return closed != -1 && s.ran_;
    }

  private:
    DialogScript(std::wstring caption, std::function<void(HWND)> script)
        : caption_(std::move(caption)), script_(std::move(script)) {}

    static BOOL CALLBACK find(HWND hwnd, LPARAM found) {
        wchar_t caption[64] = {};
        GetWindowTextW(hwnd, caption, 64);
        if (IsWindowVisible(hwnd) && caption == current_->caption_) {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* s = current_;
        if (!s || s->done_) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DialogScript::find,
                          reinterpret_cast<LPARAM>(&dialog));
        if (!dialog && ++s->ticks_ < 500) return;
        s->done_ = true;
        if (dialog) {
            s->ran_ = true;
            s->script_(dialog);
        }
        // Whatever the script left open is closed: the dialog is modal.
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM) {
                wchar_t cls[16] = {};
                GetClassNameW(hwnd, cls, 16);
                if (std::wstring(cls) == L"#32770") PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            },
            0);
    }

    std::wstring caption_;
    std::function<void(HWND)> script_;
    int ticks_ = 0;
    bool done_ = false;
    bool ran_ = false;
    static inline DialogScript* current_ = nullptr;
};

}  // namespace brim::test
