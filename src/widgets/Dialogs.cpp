#include "widgets/Dialogs.h"

#include "base/LookupMessage.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>

#include <algorithm>

namespace kora {

Dialogs::Script& Dialogs::script()
{
    static Script current;
    return current;
}

void Dialogs::setScript(Script script)
{
    Dialogs::script() = std::move(script);
}

Dialogs::FileScript& Dialogs::fileScript()
{
    static FileScript current;
    return current;
}

void Dialogs::setFileScript(FileScript script)
{
    Dialogs::fileScript() = std::move(script);
}

Dialogs::PrinterScript& Dialogs::printerScript()
{
    static PrinterScript current;
    return current;
}

void Dialogs::setPrinterScript(PrinterScript script)
{
    Dialogs::printerScript() = std::move(script);
}

bool Dialogs::setUpPrinter(QWidget* parent, QPrinter& printer)
{
    if (printerScript())
        return printerScript()(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    // Set-up only: what is printed is the whole report, never a part of it.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

Dialogs::FileAnswer Dialogs::chooseFile(QWidget* parent, const FileRequest& request)
{
    if (fileScript())
        return fileScript()(request);
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    switch (request.kind) {
    case FileRequest::Kind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
        break;
    case FileRequest::Kind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        break;
    case FileRequest::Kind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
            dialog.selectNameFilter(request.filters.at(request.filterIndex));
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    FileAnswer answer;
    answer.accepted = dialog.exec() == QDialog::Accepted;
    if (answer.accepted) {
        answer.files = dialog.selectedFiles();
        answer.filterIndex =
            std::max<qsizetype>(0, request.filters.indexOf(dialog.selectedNameFilter()));
    }
    return answer;
}

QMessageBox::StandardButton Dialogs::ask(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::Icon icon,
                                         QMessageBox::StandardButton defaultButton)
{
    if (script())
        return script()(Request{title, text, buttons, defaultButton, icon});
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // Messages come during long work too; the pointer must not stay an hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

void Dialogs::tell(QWidget* parent, const QString& title, const QString& text,
                   QMessageBox::Icon icon)
{
    ask(parent, title, text, QMessageBox::Ok, icon, QMessageBox::Ok);
}

void Dialogs::tell(QWidget* parent, const LookupMessage& message)
{
    tell(parent, message.title.empty() ? defaultTitle() : QString::fromStdString(message.title),
         QString::fromStdString(message.text),
         message.icon == LookupMessage::Icon::Exclamation ? QMessageBox::Warning
                                                          : QMessageBox::NoIcon);
}

} // namespace kora
