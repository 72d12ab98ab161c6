#pragma once

#include "ResultsFixture.h"
#include "windows/KRPRINT.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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

// Drives the print window as a user would: options are chosen by the name of
// the format, sort or output ("FULL", "LASERLABEL", "EXPIRE", "POUTPUT_1"...).
struct PrintWindow
{
    PrintWindow(PrinterFixture& fixture, const KRPRINT::Lookup& lookup);

    template <typename T> T* child(const char* name) const
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("the print window has no %s", name);
        return found;
    }
    void choose(const char* option) const { child<QRadioButton>(option)->click(); }
    void ok() const { child<QPushButton>("Command1")->click(); }
    QLineEdit* copies() const { return child<QLineEdit>("COPIES"); }
    QString status() const { return child<QLabel>("Label1")->text(); }

    KRPRINT window;
};

// Prints the lookup through the print window in a format, sorted by a field.
void printThrough(PrinterFixture& fixture, const KRPRINT::Lookup& lookup, const char* format,
                  const char* sort);

} // namespace kora::test
