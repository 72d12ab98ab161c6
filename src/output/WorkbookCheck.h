#pragma once

#include <string>

namespace kora {

// Reads back a finished workbook. The workbook library writes each part to a
// temporary file without checking the writes, so a full disk or a file size
// limit can leave a part cut short inside a package it calls complete.
class WorkbookCheck
{
public:
    // True when the package opens and every XML part in it ends with the
    // closing tag of its root element.
    static bool complete(const std::string& path);
};

} // namespace kora
