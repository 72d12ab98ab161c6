#pragma once

#include <optional>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace kora {

// The user's manual on paper: MANUAL.TXT printed line by line in a fixed
// font, a new page begun when one is full. A line wider than the page goes on
// below rather than being cut off.
class ManualPrint
{
public:
    // The lines of the file without their line breaks (CR LF or LF; a last
    // line without one counts too); nothing when it cannot be read.
    static std::optional<std::vector<std::string>> readLines(const std::string& path);

    // Prints the lines on the device's paper, at least three quarters of an
    // inch from its edges; returns the number of pages. No lines still make
    // one (empty) page, so the print job is begun and ended.
    static int print(const std::vector<std::string>& lines, QPagedPaintDevice& device);

    static constexpr double kMarginInches = 0.75;
};

} // namespace kora
