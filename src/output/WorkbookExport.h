#pragma once

#include "output/ExportChoice.h"
#include "output/ExportCompany.h"

#include <string>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace kora {

// The export as an Excel workbook: one sheet named after the lookup, the full
// layout's columns, with the employees and sales band texts (EMPDESC,
// SALESDESC) beside their codes and the follow-up's day and text
// (FOLLOWUPDUE, FOLLOWUPTEXT) last, under a bold, frozen header row with an
// autofilter; file number, zip, phone, fax and SIC as text, mods as numbers
// with three decimals, expirations and follow-ups as dates, columns as wide
// as their values.
class WorkbookExport
{
public:
    // path: the file written; target: the name a failure is told under.
    // Throws ExportError when the workbook cannot be started.
    WorkbookExport(const std::string& path, std::string target, const std::string& sheetTitle,
                   const ExportChoice& choice, bool newJersey);
    WorkbookExport(const WorkbookExport&) = delete;
    WorkbookExport& operator=(const WorkbookExport&) = delete;
    ~WorkbookExport();

    void add(const ExportCompany& company);
    // Writes the file; throws ExportError when it cannot be written.
    void close();

    // A sheet name Excel accepts: at most 31 characters, none of []:*?/\.
    static std::string sheetName(const std::string& title);

private:
    void text(int column, const std::string& value);

    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_mod = nullptr;
    std::string m_path;
    std::string m_target;
    ExportChoice m_choice;
    std::vector<size_t> m_widths;
    unsigned m_row = 0;
};

} // namespace kora
