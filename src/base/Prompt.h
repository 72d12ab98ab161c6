#pragma once

#include <string>

namespace kora {

// How code that draws nothing asks the user something or tells a message:
// windows answer with message boxes, kora-batch on the terminal, tests by script.
class Prompt
{
public:
    enum class Icon
    {
        None,
        Information,
        Warning,
        Critical,
        Question
    };

    virtual ~Prompt() = default;

    // A message with an OK button; the title "KORA" unless another is given.
    virtual void tell(const std::string& text, const std::string& title = "KORA",
                      Icon icon = Icon::None) = 0;
    // A question with Yes and No (No the default); true for Yes.
    virtual bool ask(const std::string& text, const std::string& title = "KORA",
                     Icon icon = Icon::Question) = 0;
};

} // namespace kora
