#include "windows/KRPRINT.h"

#include "database/Database.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "widgets/Preferences.h"
#include "widgets/RenewalOption.h"
#include "windows/LabelSheetBox.h"
#include "windows/PrinterOutput.h"
#include "windows/WindowHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace kora {

namespace {

QRadioButton* option(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

KRPRINT::KRPRINT(WindowHost& host, Lookup lookup)
    : QDialog(host.hostWindow()), m_host(host), m_lookup(std::move(lookup))
{
    setObjectName(QStringLiteral("KRPRINT"));
    setWindowTitle(QStringLiteral("Print Lookup Information"));
    buildWindow();
    CENTERFORM(this);
}

void KRPRINT::buildWindow()
{
    auto* formats = new QGroupBox(QStringLiteral("Print Format"), this);
    m_full = option("FULL", QStringLiteral("Detail - 1 per page, all fields"), formats);
    m_summary = option("SUMMARY", QStringLiteral("Summary - 6 per page, limited fields"), formats);
    m_laserLabel = option("LASERLABEL", QStringLiteral("Labels - Laser printer"), formats);
    m_dotLabel = option("DOTLABEL", QStringLiteral("Labels - Dot matrix printer"), formats);
    auto* formatLayout = new QVBoxLayout(formats);
    for (QRadioButton* button : {m_full, m_summary, m_laserLabel, m_dotLabel})
        formatLayout->addWidget(button);
    m_full->setChecked(true);

    auto* sorts = new QGroupBox(QStringLiteral("Sort Report By"), this);
    m_byName = option("NAME1", QStringLiteral("Name"), sorts);
    m_byExpire = option("EXPIRE", QStringLiteral("Expiration date"), sorts);
    m_byZip = option("ZIP", QStringLiteral("Zip code"), sorts);
    auto* sortLayout = new QVBoxLayout(sorts);
    for (QRadioButton* button : {m_byName, m_byExpire, m_byZip})
        sortLayout->addWidget(button);
    m_byName->setChecked(true);
    m_renewal = RenewalOption::create(m_byExpire, sorts);
    sortLayout->addWidget(m_renewal);
    sortLayout->addStretch();

    auto* options = new QGroupBox(QStringLiteral("Print Options"), this);
    m_toPrinter = option("POUTPUT_0", QStringLiteral("Printer"), options);
    m_toWindow = option("POUTPUT_1", QStringLiteral("Window"), options);
    m_toPdf = option("POUTPUT_2", QStringLiteral("PDF file"), options);
    m_toPrinter->setChecked(true);
    m_copies = new QLineEdit(QStringLiteral("1"), options);
    m_copies->setObjectName(QStringLiteral("COPIES"));
    m_copies->setMaxLength(3);
    m_copies->setFixedWidth(m_copies->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    // Typed keys are filtered with a beep; the validator keeps pasted text to digits too.
    m_copies->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_copies));
    m_copies->installEventFilter(this);
    m_copiesLabel = new QLabel(QStringLiteral("Copies"), options);
    m_copiesLabel->setObjectName(QStringLiteral("LCOPIES"));
    m_copiesLabel->setBuddy(m_copies);
    m_setup = new QPushButton(QStringLiteral("Printer Setup..."), options);
    m_setup->setObjectName(QStringLiteral("SETUPCMD"));
    m_setup->setAutoDefault(false);
    auto* optionLayout = new QGridLayout(options);
    optionLayout->addWidget(m_toPrinter, 0, 0);
    optionLayout->addWidget(m_toWindow, 1, 0);
    optionLayout->addWidget(m_toPdf, 2, 0);
    optionLayout->addWidget(m_copiesLabel, 0, 1, Qt::AlignRight);
    optionLayout->addWidget(m_copies, 0, 2);
    optionLayout->addWidget(m_setup, 1, 1, 1, 2);
    optionLayout->setColumnStretch(0, 1);

    m_labels = new LabelSheetBox(m_host.printer(), this);
    m_labels->formatChosen(format());

    m_showCount = new QLineEdit(this);
    m_showCount->setObjectName(QStringLiteral("SHOWCOUNT"));
    m_showCount->setReadOnly(true);
    m_showCount->setFocusPolicy(Qt::NoFocus);
    m_showCount->setAlignment(Qt::AlignRight);
    m_showCount->setFixedWidth(
        m_showCount->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label1"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, static_cast<int>(std::clamp<long long>(m_lookup.count, 1, 1 << 30)));
    m_progress->setValue(0);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(formats, 3);
    top->addWidget(sorts, 2);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_showCount);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(options);
    layout->addWidget(m_labels);
    layout->addLayout(statusRow);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_toPrinter, &QRadioButton::toggled, this, &KRPRINT::outputChosen);
    for (QRadioButton* button : {m_full, m_summary, m_laserLabel, m_dotLabel})
        connect(button, &QRadioButton::toggled, this, [this] { m_labels->formatChosen(format()); });
    connect(m_setup, &QPushButton::clicked, this, &KRPRINT::setUpPrinter);
    connect(m_ok, &QPushButton::clicked, this, &KRPRINT::Command1_Click);
    connect(m_cancel, &QPushButton::clicked, this, &KRPRINT::Command2_Click);
}

void KRPRINT::showEvent(QShowEvent* event)
{
    m_copies->setText(QStringLiteral("1"));
    m_full->setChecked(true);
    QDialog::showEvent(event);
}

bool KRPRINT::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_copies && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.front().unicode() >= 32 &&
            (text.front() < QLatin1Char('0') || text.front() > QLatin1Char('9'))) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

PrintRun::Format KRPRINT::format() const
{
    if (m_summary->isChecked())
        return PrintRun::Format::Summary;
    if (m_laserLabel->isChecked())
        return PrintRun::Format::LaserLabels;
    if (m_dotLabel->isChecked())
        return PrintRun::Format::DotLabels;
    return PrintRun::Format::Detail;
}

PrintRun::Sort KRPRINT::sort() const
{
    if (m_byExpire->isChecked())
        return m_renewal->isChecked() ? PrintRun::Sort::Renewal : PrintRun::Sort::Expiration;
    if (m_byZip->isChecked())
        return PrintRun::Sort::Zip;
    return PrintRun::Sort::Name;
}

bool KRPRINT::toWindow() const
{
    return m_toWindow->isChecked();
}

bool KRPRINT::toPdf() const
{
    return m_toPdf->isChecked();
}

int KRPRINT::copies() const
{
    return std::max(1, m_copies->text().toInt());
}

void KRPRINT::outputChosen()
{
    const bool printer = m_toPrinter->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(m_copies), static_cast<QWidget*>(m_copiesLabel),
                             static_cast<QWidget*>(m_setup)})
        control->setVisible(printer);
}

void KRPRINT::setUpPrinter()
{
    QPrinter& printer = m_host.printer();
    printer.setCopyCount(copies());
    // Cancelling, or a dialog that fails, leaves everything as it was.
    if (Dialogs::setUpPrinter(this, printer))
        m_copies->setText(QString::number(printer.copyCount()));
    m_labels->showPrinterOffsets();
}

void KRPRINT::showCount(long long count)
{
    m_showCount->setText(QString::number(count));
    m_progress->setValue(static_cast<int>(std::min<long long>(count, m_progress->maximum())));
    m_showCount->repaint();
    m_progress->repaint();
}

void KRPRINT::Command1_Click()
{
    QString pdf;
    if (toPdf()) {
        pdf = choosePdfFile();
        if (pdf.isEmpty())
            return;
    } else if (!toWindow() && !PrinterOutput::ready(this, m_host.printer())) {
        return;
    }
    m_cancel->setEnabled(false);
    bool done = false;
    {
        HourglassGuard hourglass;
        const ProgramValues& values = m_host.programValues();
        done = PrinterOutput::reportingFailures(
            this, QStringLiteral("KRPRINT CMD1 CANNOT FIND SYSTEM DIRECTORY!"), [&] {
                PrintRun run(values.programFolder, values.state);
                // A test sheet prints no companies.
                if (!m_labels->sheet().testSheet)
                    fill(run);
                print(run, pdf);
            });
    }
    m_cancel->setEnabled(true);
    // After a failure the window stays, so that another format or output can be chosen.
    if (done)
        Command2_Click();
}

void KRPRINT::fill(PrintRun& run)
{
    const ProgramValues& values = m_host.programValues();
    Database db(values.stateDatabasePath(), values.stateConnect);
    m_status->setText(QStringLiteral("Gathering information on ") +
                      QString::number(m_lookup.count) + QStringLiteral(" companies"));
    m_status->repaint();
    // The loop does not yield; it repaints the counter a few times a second.
    QElapsedTimer shown;
    shown.start();
    long long included = 0;
    run.fillLookup(db, m_lookup.recordSource, [&](long long count) {
        included = count;
        if (shown.elapsed() >= 50) {
            showCount(count);
            shown.restart();
        }
    });
    showCount(included);
    db.close();
}

QString KRPRINT::choosePdfFile()
{
    const QString folderKey = QStringLiteral("print/pdfFolder");
    Dialogs::FileRequest request;
    request.kind = Dialogs::FileRequest::Kind::Save;
    request.title = QStringLiteral("Print to PDF File");
    request.directory = Preferences::value(folderKey, QDir::homePath()).toString();
    request.fileName = QString(m_lookup.title).replace(QLatin1Char('/'), QLatin1Char('-')) +
                       QStringLiteral(".pdf");
    request.filters = {QStringLiteral("PDF Files (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const Dialogs::FileAnswer answer = Dialogs::chooseFile(this, request);
    if (!answer.accepted || answer.files.isEmpty())
        return {};
    Preferences::setValue(folderKey, QFileInfo(answer.files.first()).absolutePath());
    return answer.files.first();
}

void KRPRINT::print(PrintRun& run, const QString& pdf)
{
    ReportRenderer report = run.openLookupReport(format(), m_lookup.title.toStdString(), sort());
    report.setLabelSheet(m_labels->sheet());
    if (!pdf.isEmpty()) {
        const int pages = PrintRun::writePdf(report, pdf.toStdString());
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("Printed to %1 (%2 %3).")
                          .arg(pdf)
                          .arg(pages)
                          .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages")));
        return;
    }
    const PrinterOutput::Paint paint = [&report](QPagedPaintDevice& device) {
        report.render(device);
    };
    if (toWindow())
        PrinterOutput::preview(m_host.hostWindow(), m_host.printer(), paint);
    else
        PrinterOutput::print(m_host.printer(), copies(), paint);
}

void KRPRINT::Command2_Click()
{
    reject();
}

} // namespace kora
