#pragma once

#include <string>

namespace kora {

// Receives the status texts of the data loads ("TOTAL COMPANIES ADDED IS 300").
// A window shows the text and repaints; the call is also its chance to handle
// pending events while a long load runs.
class LoadProgress
{
public:
    virtual ~LoadProgress() = default;
    virtual void status(const std::string& text) = 0;
    // Asked before a load that would remove more than half of a state's
    // companies, while nothing is changed yet; no leaves the load undone.
    virtual bool agrees(const std::string& /*question*/) { return false; }
};

} // namespace kora
