#include "PrintFixture.h"

#include <QPrinter>

namespace kora::test {

PrinterFixture::PrinterFixture(const std::string& state) : ResultsFixture(state)
{
    master().printer().setOutputFormat(QPrinter::PdfFormat);
    master().printer().setOutputFileName(QString::fromStdString(pdf()));
}

void PrinterFixture::addMod(const std::string& file, const std::string& issue,
                            const std::string& effective, const std::string& expire, double mod)
{
    db().prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                 "VALUES (?, '01', ?, ?, ?, ?)")
        .bindAll({file, issue, effective, expire, mod})
        .run();
}

PrintFixture::PrintFixture() : PrinterFixture("PA")
{
    addCompany("1000001", "01",
               {{"NAME1", "ZENITH TOOL"},
                {"CITY", "ERIE"},
                {"ST", "PA"},
                {"ZIP", "16501"},
                {"Omit", " "}});
    addCompany("1000002", "01", {{"NAME1", "MARKED OUT INC"}, {"Omit", "Y"}});
    addCompany("1000003", "01",
               {{"NAME1", "ACORN BAKERY"},
                {"CITY", "YORK"},
                {"ST", "PA"},
                {"ZIP", "17401"},
                {"Omit", " "}});
}

PrintWindow::PrintWindow(PrinterFixture& fixture, const KRPRINT::Lookup& lookup)
    : window(fixture.master(), lookup)
{
    window.show();
}

void printThrough(PrinterFixture& fixture, const KRPRINT::Lookup& lookup, const char* format,
                  const char* sort)
{
    const PrintWindow print(fixture, lookup);
    print.choose(format);
    print.choose(sort);
    print.ok();
}

} // namespace kora::test
