#pragma once
// Message boxes, questions and input boxes. The window shows them as dialogs;
// tests answer them from a script.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace brim::app {

class Prompts {
  public:
    virtual ~Prompts() = default;
    // A message with an OK button.
    virtual void message(const std::string& text) = 0;
    // A yes/no question; true for yes.
    virtual bool confirm(const std::string& text) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                             const std::string& initial) = 0;
};

// Answers from a script, and a record of what was asked.
class ScriptedPrompts final : public Prompts {
  public:
    std::deque<bool> confirmAnswers;                      // yes when none are left
    std::deque<std::optional<std::string>> inputAnswers;  // nullopt, or none left, cancels
    std::vector<std::string> shown;                       // every text shown, in order
    std::vector<std::string> proposed;                    // what each input box proposed

    void message(const std::string& text) override { shown.push_back(text); }
    bool confirm(const std::string& text) override;
    std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;
};

}  // namespace brim::app
