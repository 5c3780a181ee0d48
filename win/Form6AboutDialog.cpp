#include "win/Forms.h"

#include <commctrl.h>

namespace brim::win {
namespace {
enum { Label2 = 101, Command1 };
}

Form6AboutDialog::Form6AboutDialog(app::Window& window)
    : ModalDialog("Brimmark - 私のお気に入り", 5400, 2400), window_(window) {}

void Form6AboutDialog::onInit() {
    HWND image1 = add(L"STATIC", "", SS_ICON | SS_REALSIZEIMAGE, -1, {240, 240, 600, 600});
    const int size = GetSystemMetricsForDpi(SM_CXICON, GetDpiForWindow(hwnd()));
    icon_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    SendMessageW(image1, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    label(app::kWindowTitle, {1080, 240, 4080, 375});
    label(std::string("mail: ") + app::kMail, {1080, 720, 4080, 375});
    add(WC_LINK, std::string("<a>") + app::kHomePage + "</a>", WS_TABSTOP, Label2,
        {1080, 1140, 4080, 375});
    button("OK", Command1, {4080, 1680, 1095, 495});
    SetFocus(item(Command1));
}

bool Form6AboutDialog::onCommand(int id, int) {
    if (id != Command1 && id != IDOK) return false;
    close(IDOK);
    return true;
}

LRESULT Form6AboutDialog::onNotify(const NMHDR& header) {
    if (header.idFrom == Label2 && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        // The link is opened by the program's own opener, like every address.
        close(IDOK);
        window_.openHomePage();
    }
    return 0;
}

}  // namespace brim::win
