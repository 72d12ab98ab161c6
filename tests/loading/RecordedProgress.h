#pragma once

#include "loading/LoadProgress.h"

#include <string>
#include <vector>

namespace kora::test {

// Keeps the status texts a load shows and the questions it asks, answered
// with answer.
class RecordedProgress : public LoadProgress
{
public:
    void status(const std::string& text) override { texts.push_back(text); }
    bool agrees(const std::string& question) override
    {
        questions.push_back(question);
        return answer;
    }

    std::vector<std::string> texts;
    std::vector<std::string> questions;
    bool answer = true;
};

} // namespace kora::test
