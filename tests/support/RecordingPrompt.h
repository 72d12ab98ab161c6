#pragma once

#include "base/Prompt.h"

#include <string>
#include <utility>
#include <vector>

namespace kora::test {

// Answers every question with `answer` and keeps each text told or asked with its title.
struct RecordingPrompt : Prompt
{
    using Message = std::pair<std::string, std::string>;

    void tell(const std::string& text, const std::string& title, Icon) override
    {
        told.emplace_back(text, title);
    }
    bool ask(const std::string& text, const std::string& title, Icon) override
    {
        asked.emplace_back(text, title);
        return answer;
    }
    std::vector<std::string> toldTexts() const
    {
        std::vector<std::string> texts;
        for (const Message& message : told)
            texts.push_back(message.first);
        return texts;
    }

    bool answer = true;
    std::vector<Message> told;
    std::vector<Message> asked;
};

} // namespace kora::test
