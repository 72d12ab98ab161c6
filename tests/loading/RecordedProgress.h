#pragma once

#include "loading/LoadProgress.h"

#include <string>
#include <vector>

namespace kora::test {

// Keeps the status texts a load shows.
class RecordedProgress : public LoadProgress
{
public:
    void status(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;
};

} // namespace kora::test
