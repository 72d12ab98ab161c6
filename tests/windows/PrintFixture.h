#pragma once

#include "ResultsFixture.h"
#include "windows/KRPRINT.h"

#include <QWidget>

#include <string>

namespace kora::test {

// The main window on a state, its printer writing a PDF file.
class PrinterFixture : public ResultsFixture
{
public:
    explicit PrinterFixture(const std::string& state);

    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
    void addMod(const std::string& file, const std::string& issue, const std::string& effective,
                const std::string& expire, double mod);
};

// Three Pennsylvania companies, the middle one marked Omit.
class PrintFixture : public PrinterFixture
{
public:
    PrintFixture();

    KRPRINT::Lookup lookup() const
    {
        return {"SELECT * FROM PRIME ORDER BY NAME1", QStringLiteral("BAKERS AND TOOLMAKERS"), 3};
    }
};

// A control of a window by its object name; the test stops when there is none.
template <typename T> T* child(QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Prints the lookup through the print window in a format ("FULL", "LASERLABEL"...),
// sorted by a field ("NAME1", "EXPIRE", "ZIP").
void printThrough(PrinterFixture& fixture, const KRPRINT::Lookup& lookup, const char* format,
                  const char* sort);

} // namespace kora::test
