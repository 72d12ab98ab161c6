#pragma once

#include <string>

namespace kora {

class WindowHost;

// Print Record of the result list: the detail page of one company straight to
// the main window's printer, whatever its Omit mark, "Print Record" as its title.
class RecordPrintout
{
public:
    static void print(WindowHost& host, const std::string& file, const std::string& sequence);
};

} // namespace kora
