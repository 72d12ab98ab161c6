#include "output/WorkbookExport.h"

#include "base/Blanks.h"
#include "base/Folders.h"
#include "output/ExportError.h"
#include "output/ExportLine.h"
#include "output/WorkbookCheck.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kora {

namespace {

constexpr size_t kMaxWidth = 60;
constexpr const char* kCutShort = "not all of the workbook could be written (disk full or file "
                                  "too large)";

// The date of an MM/DD/YYYY text; false when there is none.
bool dateOf(const std::string& text, lxw_datetime& date)
{
    if (text.size() != 10)
        return false;
    date = {std::stoi(text.substr(6, 4)),
            std::stoi(text.substr(0, 2)),
            std::stoi(text.substr(3, 2)),
            0,
            0,
            0.0};
    return true;
}

// A UTF-8 sequence beginning at a byte: how long it must be (0 for a byte
// that begins none) and how many of its bytes are there and fit.
struct Sequence
{
    size_t length = 0;
    size_t matched = 0;
};

Sequence sequenceAt(const std::string& text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {1, 1};
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return {};
    }
    size_t matched = 1;
    for (; matched < length && at + matched < text.size(); ++matched) {
        const auto next = static_cast<unsigned char>(text[at + matched]);
        if (next < low || next > high)
            break;
        low = 0x80;
        high = 0xBF;
    }
    return {length, matched};
}

std::string fromLatin1(const std::string& text)
{
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// The workbook's XML takes UTF-8 alone. Names come from fixed-width update
// files: a character cut at the field's width is dropped, and a text that is
// no UTF-8 otherwise is read as Latin-1.
std::string asUtf8(const std::string& text)
{
    for (size_t at = 0; at < text.size();) {
        const Sequence sequence = sequenceAt(text, at);
        if (sequence.length > 0 && sequence.matched == sequence.length)
            at += sequence.length;
        else if (sequence.length > 0 && at + sequence.matched == text.size())
            return text.substr(0, at);
        else
            return fromLatin1(text);
    }
    return text;
}

// The first characters (not bytes) of a UTF-8 text.
std::string firstCharacters(const std::string& text, size_t count)
{
    size_t at = 0;
    for (; at < text.size() && count > 0; --count)
        at += sequenceAt(text, at).length;
    return text.substr(0, at);
}

// The columns of the delimited layouts with the band texts beside their
// codes: EMPLOYEES is column 12 and SALES column 13 of those layouts.
std::vector<std::string> withBandTexts(std::vector<std::string> columns, std::string employees,
                                       std::string sales)
{
    columns.insert(columns.begin() + 14, std::move(sales));
    columns.insert(columns.begin() + 13, std::move(employees));
    return columns;
}

} // namespace

WorkbookExport::WorkbookExport(const std::string& path, std::string target,
                               const std::string& sheetTitle, const ExportChoice& choice,
                               bool newJersey)
    : m_path(path), m_target(std::move(target)), m_choice(choice)
{
    const std::string temporary = Folders::temporaryFolder();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = temporary.empty() ? nullptr : const_cast<char*>(temporary.c_str());
    m_workbook = workbook_new_opt(path.c_str(), &options);
    if (!m_workbook)
        throw ExportError("CANNOT CREATE OUTPUT FILE!");
    m_sheet = workbook_add_worksheet(m_workbook, sheetName(sheetTitle).c_str());
    m_bold = workbook_add_format(m_workbook);
    format_set_bold(m_bold);
    m_date = workbook_add_format(m_workbook);
    format_set_num_format(m_date, "mm/dd/yyyy");
    m_mod = workbook_add_format(m_workbook);
    format_set_num_format(m_mod, "0.000");

    std::vector<std::string> names =
        withBandTexts(ExportLine::headerNames(choice, newJersey), "EMPDESC", "SALESDESC");
    names.insert(names.end(), {"FOLLOWUPDUE", "FOLLOWUPTEXT"});
    m_widths.assign(names.size(), 0);
    for (size_t column = 0; column < names.size(); ++column) {
        worksheet_write_string(m_sheet, 0, static_cast<lxw_col_t>(column), names[column].c_str(),
                               m_bold);
        m_widths[column] = names[column].size();
    }
    worksheet_freeze_panes(m_sheet, 1, 0);
    m_row = 1;
}

WorkbookExport::~WorkbookExport()
{
    if (m_workbook) {
        // Nothing is kept of a workbook that was not closed on purpose.
        workbook_close(m_workbook);
        std::remove(m_path.c_str());
    }
}

void WorkbookExport::text(int column, const std::string& value)
{
    if (!value.empty())
        worksheet_write_string(m_sheet, m_row, static_cast<lxw_col_t>(column),
                               asUtf8(value).c_str(), nullptr);
    m_widths[column] = std::max(m_widths[column], std::min(value.size(), kMaxWidth));
}

void WorkbookExport::add(const ExportCompany& company)
{
    const std::vector<std::string> values = withBandTexts(
        ExportLine::delimitedValues(company, m_choice), company.employeesText, company.salesText);
    const int firstMod = 19;
    const int firstClass = firstMod + 2 * m_choice.modSlots();
    for (int column = 0; column < static_cast<int>(values.size()); ++column) {
        const bool modColumn = column >= firstMod && column < firstClass;
        if (!modColumn) {
            text(column, values[column]);
            continue;
        }
        const size_t slot = static_cast<size_t>((column - firstMod) / 2);
        if (slot >= company.mods.size())
            continue;
        const ExportCompany::Mod& mod = company.mods[slot];
        lxw_datetime date;
        if ((column - firstMod) % 2 == 0 && dateOf(mod.expire, date)) {
            worksheet_write_datetime(m_sheet, m_row, static_cast<lxw_col_t>(column), &date, m_date);
            m_widths[column] = std::max<size_t>(m_widths[column], 10);
        } else if ((column - firstMod) % 2 == 1 && !mod.mod.isNull()) {
            worksheet_write_number(m_sheet, m_row, static_cast<lxw_col_t>(column),
                                   mod.mod.toDouble(), m_mod);
            m_widths[column] = std::max<size_t>(m_widths[column], 5);
        }
    }
    const auto dueColumn = static_cast<int>(values.size());
    lxw_datetime due;
    if (dateOf(company.followUpDue, due)) {
        worksheet_write_datetime(m_sheet, m_row, static_cast<lxw_col_t>(dueColumn), &due, m_date);
        m_widths[dueColumn] = std::max<size_t>(m_widths[dueColumn], 10);
    }
    text(dueColumn + 1, company.followUpText);
    ++m_row;
}

void WorkbookExport::close()
{
    const auto lastColumn = static_cast<lxw_col_t>(m_widths.size() - 1);
    worksheet_autofilter(m_sheet, 0, 0, m_row - 1, lastColumn);
    for (size_t column = 0; column < m_widths.size(); ++column)
        worksheet_set_column(m_sheet, static_cast<lxw_col_t>(column),
                             static_cast<lxw_col_t>(column),
                             static_cast<double>(m_widths[column]) + 2, nullptr);
    errno = 0;
    const lxw_error result = workbook_close(m_workbook);
    // The packer fails on a system error (a full disk) more often than on its own.
    const int systemError = errno;
    m_workbook = nullptr;
    if (result != LXW_NO_ERROR)
        throw ExportError::cannotWrite(m_target, systemError != 0 ? std::strerror(systemError)
                                                                  : lxw_strerror(result));
    if (!WorkbookCheck::complete(m_path))
        throw ExportError::cannotWrite(m_target, kCutShort);
}

std::string WorkbookExport::sheetName(const std::string& title)
{
    const std::string utf8 = asUtf8(title);
    std::string name;
    for (char c : trimBlanks(utf8))
        name += std::string("[]:*?/\\").find(c) == std::string::npos ? c : ' ';
    while (!name.empty() && name.front() == '\'')
        name.erase(0, 1);
    name = std::string(trimBlanks(firstCharacters(name, 31)));
    while (!name.empty() && name.back() == '\'')
        name.pop_back();
    return name.empty() ? "Export" : name;
}

} // namespace kora
