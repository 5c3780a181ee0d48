#pragma once
// The proxies the user set for the whole system, in the words Internet
// Options keeps them in; the link check decides from them which proxy each
// address goes through.

#include <string>

namespace brim::platform {

struct SystemProxy {
    // "host:port" for every scheme, or "http=h:p;https=h:p;ftp=h:p" (spaces
    // separate too); a value may start with "scheme://". Empty: none.
    std::string servers;
    // Hosts reached directly: "<local>;*.example.com;10.*".
    std::string bypass;
    bool operator==(const SystemProxy&) const = default;
};

class SystemProxySource {
  public:
    virtual ~SystemProxySource() = default;
    // The settings as they are now; an automatic configuration script is
    // not run, so that a system using one alone gives none.
    virtual SystemProxy current() const = 0;
};

}  // namespace brim::platform
