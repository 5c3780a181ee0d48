// brimmark.exe: the Windows window.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <stdexcept>

#include "app/SystemServices.h"
#include "win/CommandLine.h"
#include "win/Controls.h"
#include "win/Form1Window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    // The shell's shortcuts and opener are COM objects of this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::unique_ptr<brim::platform::Services> system;
    try {
        system = brim::app::makeSystemServices();
    } catch (const std::runtime_error& e) {
        MessageBoxW(nullptr, brim::win::wide(e.what()).c_str(), L"Brimmark", MB_OK | MB_ICONERROR);
        return 1;
    }
    int status = 1;
    {
        brim::win::Form1Window form(brim::app::servicesOf(*system));
        if (form.create()) {
            form.startUp(brim::win::argumentOf(GetCommandLineW()));
            MSG msg{};
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (form.preTranslate(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            status = static_cast<int>(msg.wParam);
        }
    }
    system.reset();
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
