#pragma once

#include "loading/LoadProgress.h"

#include <ostream>

namespace kora {

// Shows the status texts of the loads as lines on a stream (standard error).
class StreamProgress : public LoadProgress
{
public:
    explicit StreamProgress(std::ostream& stream) : m_stream(stream) {}

    void status(const std::string& text) override { m_stream << text << std::endl; }

private:
    std::ostream& m_stream;
};

} // namespace kora
