#pragma once

#include "loading/LoadProgress.h"

#include <ostream>

namespace kora {

// Shows the status texts of the loads as lines on a stream (standard error).
// Its answer to the loads' questions is fixed beforehand (--force).
class StreamProgress : public LoadProgress
{
public:
    explicit StreamProgress(std::ostream& stream, bool agreed = false)
        : m_stream(stream), m_agreed(agreed)
    {
    }

    void status(const std::string& text) override { m_stream << text << std::endl; }
    bool agrees(const std::string& question) override
    {
        m_asked = true;
        if (m_agreed)
            m_stream << question << " Yes (--force)" << std::endl;
        return m_agreed;
    }
    // Whether a load asked, and was refused unless agreed beforehand.
    bool asked() const { return m_asked; }

private:
    std::ostream& m_stream;
    bool m_agreed;
    bool m_asked = false;
};

} // namespace kora
