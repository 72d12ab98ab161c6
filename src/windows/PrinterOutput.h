#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace kora {

// Paper output of the print windows: on the main window's printer, or in a
// preview owned by the main window in which the user zooms, pages through and
// prints. The printer's own page and copy count come back after each run, so a
// report's sheet never becomes the user's paper for other work.
class PrinterOutput
{
public:
    using Paint = std::function<void(QPagedPaintDevice&)>;

    // True when the printer can be printed on; otherwise says so and is false.
    static bool ready(QWidget* parent, QPrinter& printer);
    // A printer that prints to a PDF file replaces the file only when the new
    // one is complete (see PdfFile); throws std::runtime_error when it is not.
    static void print(QPrinter& printer, int copies, const Paint& paint);
    static void preview(QWidget* owner, QPrinter& printer, const Paint& paint);

    static QString missingPrinterMessage();

    // Runs the work of a printout and tells why it failed: the given message
    // when the scratch database could not be made, a missing report file's
    // own message, any other failure as a warning. True when the work ran through.
    static bool reportingFailures(QWidget* parent, const QString& scratchMissingMessage,
                                  const std::function<void()>& work);
};

} // namespace kora
