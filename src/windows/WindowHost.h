#pragma once

#include "base/Command.h"
#include "base/ProgramValues.h"

class QMdiArea;
class QPrinter;
class QString;
class QWidget;

namespace kora {

// What the windows need of the main window that holds them: the program-wide
// values, the work area, the commands and the status line.
class WindowHost
{
public:
    virtual ~WindowHost() = default;

    // The window that owns the dialogs the windows open.
    virtual QWidget* hostWindow() = 0;
    virtual QMdiArea* workArea() const = 0;
    virtual const ProgramValues& programValues() const = 0;
    // The printer that Printer Setup configures and the print windows use.
    virtual QPrinter& printer() = 0;
    virtual void enableCommand(Command command, bool enabled) = 0;
    virtual bool copySqlToClipboard() const = 0;
    // The data version text the result list reads from the VERSION row.
    virtual void setDataVersion(const QString& text) = 0;
};

} // namespace kora
