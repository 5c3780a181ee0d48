#include "app/Prompts.h"

namespace brim::app {

bool ScriptedPrompts::confirm(const std::string& text) {
    shown.push_back(text);
    if (confirmAnswers.empty()) return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::input(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
    shown.push_back(title + ": " + prompt);
    proposed.push_back(initial);
    if (inputAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

}  // namespace brim::app
