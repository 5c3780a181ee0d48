#include "app/DialogForms.h"
#include "win/Forms.h"

#include <commctrl.h>

namespace brim::win {

using namespace app::form6;

Form6AboutDialog::Form6AboutDialog(app::Window& window)
    : ModalDialog(app::aboutForm()), window_(window) {}

void Form6AboutDialog::onInit() {
    const int size = GetSystemMetricsForDpi(SM_CXICON, GetDpiForWindow(hwnd()));
    icon_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    SendMessageW(item(Image1), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
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
