#pragma once
// Message boxes and input boxes of the Windows front end. MessageBoxW draws
// its buttons in the system's language.

#include <windows.h>

#include "app/Prompts.h"

namespace brim::win {

class Win32Prompts final : public app::Prompts {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    void message(const std::string& text) override;
    bool confirm(const std::string& text) override;
    std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

  private:
    HWND owner_ = nullptr;
};

}  // namespace brim::win
