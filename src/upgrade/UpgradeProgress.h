#pragma once

#include <string>

namespace kora {

// What the upgrade shows while it works: the upgrade window's status label
// and two progress bars, or lines on a terminal.
class UpgradeProgress
{
public:
    virtual ~UpgradeProgress() = default;

    // Called once, before the first archive is read: whatever holds a state
    // database open lets it go (the window closes the result list).
    virtual void startWork() = 0;
    // The status text; the label is shown from the start of the work.
    virtual void status(const std::string& text) = 0;
    // The label hidden at the end of the work.
    virtual void hideStatus() = 0;
    // The two bars in percent: of the member being unpacked, of the archive.
    virtual void bars(int member, int archive) = 0;
};

} // namespace kora
