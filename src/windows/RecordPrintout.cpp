#include "windows/RecordPrintout.h"

#include "database/Database.h"
#include "output/PrintRun.h"
#include "widgets/Dialogs.h"
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
    try {
        PrintRun run(values.programFolder, values.state);
        {
            Database db(values.stateDatabasePath(), values.stateConnect);
            if (!run.fillRecord(db, file, sequence))
                throw std::runtime_error("There is no company " + file + " " + sequence + ".");
        }
        ReportRenderer report = run.openRecordReport();
        PrinterOutput::print(printer, 1, [&report](QPrinter& target) { report.render(target); });
    } catch (const PrintRun::ScratchMissing&) {
        Dialogs::tell(parent, Dialogs::defaultTitle(),
                      QStringLiteral("KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"));
    } catch (const PrintRun::ReportMissing& missing) {
        Dialogs::tell(parent, Dialogs::defaultTitle(), QString::fromStdString(missing.what()));
    } catch (const std::exception& error) {
        Dialogs::tell(parent, Dialogs::defaultTitle(), QString::fromStdString(error.what()),
                      QMessageBox::Warning);
    }
}

} // namespace kora
