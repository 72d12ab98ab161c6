#pragma once

#include <string>

namespace kora::test {

// What poppler's tools read back from a PDF file: its text laid out as on the
// page (pdftotext -layout) and its page count (pdfinfo). Empty / 0 when the
// file is missing or no PDF.
std::string pdfText(const std::string& path);
int pdfPages(const std::string& path);

} // namespace kora::test
