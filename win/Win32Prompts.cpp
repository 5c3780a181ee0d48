#include "win/Win32Prompts.h"

#include "win/Controls.h"
#include "win/Forms.h"

namespace brim::win {
namespace {
constexpr const wchar_t* kTitle = L"Brimmark";
}

void Win32Prompts::message(const std::string& text) {
    MessageBoxW(owner_, wide(text).c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

bool Win32Prompts::confirm(const std::string& text) {
    return MessageBoxW(owner_, wide(text).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> Win32Prompts::input(const std::string& title, const std::string& prompt,
                                               const std::string& initial) {
    InputBoxDialog box(title, prompt, initial);
    box.run(owner_);
    return box.answer();
}

}  // namespace brim::win
