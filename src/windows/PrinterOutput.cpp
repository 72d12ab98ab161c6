#include "windows/PrinterOutput.h"

#include "output/PdfFile.h"
#include "output/PrintRun.h"
#include "widgets/Dialogs.h"

#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

#include <algorithm>

namespace kora {

namespace {

// Keeps the printer's page and copies as the user set them up.
class PrinterState
{
public:
    explicit PrinterState(QPrinter& printer)
        : m_printer(printer), m_layout(printer.pageLayout()), m_copies(printer.copyCount())
    {
    }
    ~PrinterState()
    {
        m_printer.setPageLayout(m_layout);
        m_printer.setCopyCount(m_copies);
    }
    PrinterState(const PrinterState&) = delete;
    PrinterState& operator=(const PrinterState&) = delete;

private:
    QPrinter& m_printer;
    QPageLayout m_layout;
    int m_copies;
};

} // namespace

QString PrinterOutput::missingPrinterMessage()
{
    return QStringLiteral("There is no printer to print on. Set up a printer, then choose it "
                          "with Printer Setup.");
}

bool PrinterOutput::ready(QWidget* parent, QPrinter& printer)
{
    // Without any printer on the system Qt falls back to PDF output, and a
    // PDF printer without a file name prints nowhere.
    const bool usable = printer.outputFormat() == QPrinter::PdfFormat
                            ? !printer.outputFileName().isEmpty()
                            : printer.isValid() && !printer.printerName().isEmpty();
    if (!usable)
        Dialogs::tell(parent, Dialogs::defaultTitle(), missingPrinterMessage(),
                      QMessageBox::Warning);
    return usable;
}

void PrinterOutput::print(QPrinter& printer, int copies, const Paint& paint)
{
    PrinterState kept(printer);
    printer.setCopyCount(copies);
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        paint(printer);
        return;
    }
    // The printer's own PDF output would write over the file as it goes and
    // never tell a failed write.
    PdfFile::write(printer.outputFileName().toStdString(), printer.resolution(),
                   [&](QPagedPaintDevice& file) {
                       file.setPageLayout(printer.pageLayout());
                       paint(file);
                   });
}

void PrinterOutput::preview(QWidget* owner, QPrinter& printer, const Paint& paint)
{
    PrinterState kept(printer);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    // Large enough to read a page without zooming, within the screen.
    const QRect screen = (owner ? owner->screen() : dialog.screen())->availableGeometry();
    dialog.resize(std::min(screen.width(), 1000), screen.height() * 9 / 10);
    // The user works in the preview: no hourglass over it.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog.exec();
    QGuiApplication::restoreOverrideCursor();
}

bool PrinterOutput::reportingFailures(QWidget* parent, const QString& scratchMissingMessage,
                                      const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const PrintRun::ScratchMissing&) {
        Dialogs::tell(parent, Dialogs::defaultTitle(), scratchMissingMessage);
    } catch (const PrintRun::ReportMissing& missing) {
        Dialogs::tell(parent, Dialogs::defaultTitle(), QString::fromStdString(missing.what()));
    } catch (const std::exception& error) {
        Dialogs::tell(parent, Dialogs::defaultTitle(), QString::fromStdString(error.what()),
                      QMessageBox::Warning);
    }
    return false;
}

} // namespace kora
