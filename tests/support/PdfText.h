#pragma once

#include <string>
#include <vector>

namespace kora::test {

// What poppler's tools read back from a PDF file: its text laid out as on the
// page (pdftotext -layout) and its page count (pdfinfo). Empty / 0 when the
// file is missing or no PDF. A page from 1 gives that page alone.
std::string pdfText(const std::string& path, int page = 0);
int pdfPages(const std::string& path);

// A word of a page as pdftotext -bbox places it, in points from the top left.
struct PdfWord
{
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double height() const { return yMax - yMin; }
};
// The words of one page (from 1) in reading order; empty when there is none.
std::vector<PdfWord> pdfWords(const std::string& path, int page);
// The words that spell the text (words parted by single blanks) one after
// another; empty when none do.
std::vector<PdfWord> wordsSpelling(const std::vector<PdfWord>& words, const std::string& text);

} // namespace kora::test
