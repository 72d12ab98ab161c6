#include "windows/RecordPrintout.h"

#include "database/Database.h"
#include "output/PrintRun.h"
#include "widgets/HourglassGuard.h"
#include "windows/PrinterOutput.h"
#include "windows/WindowHost.h"

#include <QPrinter>

namespace kora {

void RecordPrintout::print(WindowHost& host, const std::string& file, const std::string& sequence)
{
    QWidget* parent = host.hostWindow();
    QPrinter& printer = host.printer();
    if (!PrinterOutput::ready(parent, printer))
        return;
    HourglassGuard hourglass;
    const ProgramValues& values = host.programValues();
    PrinterOutput::reportingFailures(
        parent, QStringLiteral("KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"), [&] {
            PrintRun run(values.programFolder, values.state);
            {
                Database db(values.stateDatabasePath(), values.stateConnect);
                if (!run.fillRecord(db, file, sequence))
                    throw std::runtime_error("There is no company " + file + " " + sequence + ".");
            }
            ReportRenderer report = run.openRecordReport();
            PrinterOutput::print(printer, 1,
                                 [&report](QPagedPaintDevice& device) { report.render(device); });
        });
}

} // namespace kora
