#include "windows/KRMANUAL.h"

#include "output/ManualPrint.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "windows/PrinterOutput.h"
#include "windows/WindowHost.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace kora {

KRMANUAL::KRMANUAL(WindowHost& host) : QDialog(host.hostWindow()), m_host(host)
{
    setObjectName(QStringLiteral("KRMANUAL"));
    setWindowTitle(QStringLiteral("Print Manual"));
    auto* label1 = new QLabel(
        QStringLiteral("Click OK to print the user's manual to your default printer."), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CANCEL"));
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_label2);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_ok, &QPushButton::clicked, this, &KRMANUAL::OK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    CENTERFORM(this);
}

QString KRMANUAL::missingManualMessage(const QString& path)
{
    return QStringLiteral("The user's manual (") + path +
           QStringLiteral(") is missing or cannot be read.");
}

void KRMANUAL::OK_Click()
{
    const std::string path = m_host.programValues().programFolder + "MANUAL.TXT";
    const auto lines = ManualPrint::readLines(path);
    if (!lines) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      missingManualMessage(QString::fromStdString(path)), QMessageBox::Warning);
        return;
    }
    QPrinter& printer = m_host.printer();
    if (!PrinterOutput::ready(this, printer))
        return;
    {
        HourglassGuard hourglass;
        m_label2->setText(QStringLiteral("Printing Manual..."));
        m_label2->repaint();
        PrinterOutput::print(printer, printer.copyCount(), [&lines](QPagedPaintDevice& device) {
            ManualPrint::print(*lines, device);
        });
    }
    accept();
}

} // namespace kora
