#include <windows.h>
// After windows.h:
#include <winhttp.h>

#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Text.h"

namespace brim::platform {

SystemProxy WinHttpSystemProxy::current() const {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    SystemProxy out;
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return out;
    if (config.lpszProxy) out.servers = win32::narrow(config.lpszProxy);
    if (config.lpszProxyBypass) out.bypass = win32::narrow(config.lpszProxyBypass);
    // The caller frees every string the call gave.
    for (wchar_t* text : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass})
        if (text) GlobalFree(text);
    return out;
}

}  // namespace brim::platform
