#include "windows/KREXPORT.h"

#include "database/Database.h"
#include "output/ExportDestination.h"
#include "output/ExportError.h"
#include "output/ExportWriter.h"
#include "widgets/CenterForm.h"
#include "widgets/Cmdlg.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "widgets/Preferences.h"
#include "widgets/RenewalOption.h"
#include "windows/WindowHost.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace kora {

namespace {

const QChar kNul(0);

// The agent's last export, remembered for the next one.
const QString kLayoutKey = QStringLiteral("export/layout");
const QString kFolderKey = QStringLiteral("export/folder");

// The formats as the frame lists them: the limited layout first, the full
// comma layout last of the four, then the workbook.
constexpr int kScreenOrder[KREXPORT::kFormats] = {3, 1, 2, 0, 4};

const char* const kFormatCaptions[KREXPORT::kFormats] = {
    "SDF (ASCII) - Comma Delimited", "SDF (ASCII) - Tab Delimited", "TXT (ASCII) - Fixed Length",
    "Comma delimited, limited fields (MS-Word, etc.)", "Excel workbook (.xlsx)"};

QString filterPair(const char* description, const char* pattern)
{
    return QString(description) + kNul + pattern + kNul;
}

// Shows the count of companies done and a bar of how far the export is. The
// count is shown at once; the screen is redrawn at most every 40 ms so that
// drawing does not slow a large export down.
class WindowProgress : public ExportProgress
{
public:
    WindowProgress(QLabel* text, QLineEdit* count, QProgressBar* bar)
        : m_text(text), m_count(count), m_bar(bar)
    {
        m_sinceDrawn.start();
    }

    void starting(long long companies) override
    {
        m_total = companies;
        m_text->setText("Exporting information on " + QString::number(companies) + " companies");
        m_text->repaint();
        m_bar->setRange(0, static_cast<int>(std::clamp<long long>(companies, 1, INT_MAX)));
        m_bar->setValue(0);
        m_bar->repaint();
    }

    void counted(long long count) override
    {
        m_count->setText(QString::number(count));
        m_bar->setValue(static_cast<int>(std::min<long long>(count, m_bar->maximum())));
        if (count == m_total || count == 1 || m_sinceDrawn.elapsed() >= 40) {
            m_count->repaint();
            m_bar->repaint();
            m_sinceDrawn.restart();
        }
    }

private:
    QLabel* m_text;
    QLineEdit* m_count;
    QProgressBar* m_bar;
    long long m_total = 0;
    QElapsedTimer m_sinceDrawn;
};

} // namespace

KREXPORT::KREXPORT(WindowHost& host, std::string source, QString sheetTitle)
    : QDialog(host.hostWindow()), m_host(host), m_source(std::move(source)),
      m_sheetTitle(std::move(sheetTitle))
{
    setObjectName(QStringLiteral("KREXPORT"));
    setWindowTitle(QStringLiteral("Export Lookup Information"));
    buildWindow();
    CENTERFORM(this);
}

KREXPORT::~KREXPORT() = default;

void KREXPORT::buildWindow()
{
    auto* formats = new QGroupBox(QStringLiteral("Export Format"), this);
    auto* formatColumn = new QVBoxLayout(formats);
    for (const int index : kScreenOrder) {
        m_format[index] = new QRadioButton(kFormatCaptions[index], formats);
        m_format[index]->setObjectName(QStringLiteral("EXPTFORM"));
        m_format[index]->setProperty("index", index);
        formatColumn->addWidget(m_format[index]);
    }

    auto* sorts = new QGroupBox(QStringLiteral("Sort Export By"), this);
    auto* sortColumn = new QVBoxLayout(sorts);
    m_byName = new QRadioButton(QStringLiteral("Name"), sorts);
    m_byName->setObjectName(QStringLiteral("NAMEA"));
    m_byName->setChecked(true);
    m_byExpiration = new QRadioButton(QStringLiteral("Expiration date"), sorts);
    m_byExpiration->setObjectName(QStringLiteral("EXPIRE"));
    m_byZip = new QRadioButton(QStringLiteral("Zip code"), sorts);
    m_byZip->setObjectName(QStringLiteral("ZIP"));
    for (QRadioButton* sort : {m_byName, m_byExpiration, m_byZip})
        sortColumn->addWidget(sort);
    m_renewal = RenewalOption::create(m_byExpiration, sorts);
    sortColumn->addWidget(m_renewal);

    m_lowerCase = new QCheckBox(QStringLiteral("Convert to lower case"), this);
    m_lowerCase->setObjectName(QStringLiteral("LOWERCASE"));
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(sorts);
    rightColumn->addWidget(m_lowerCase);
    rightColumn->addStretch();
    auto* choices = new QHBoxLayout;
    choices->addWidget(formats);
    choices->addLayout(rightColumn);

    auto* pathLabel =
        new QLabel(QStringLiteral("Enter path and file name for output below:"), this);
    pathLabel->setObjectName(QStringLiteral("Label2"));
    m_outPath = new QLineEdit(this);
    m_outPath->setObjectName(QStringLiteral("OUTPATH"));

    m_progressText = new QLabel(this);
    m_progressText->setObjectName(QStringLiteral("Label1"));
    m_showCount = new QLineEdit(this);
    m_showCount->setObjectName(QStringLiteral("SHOWCOUNT"));
    m_showCount->setReadOnly(true);
    m_showCount->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PROGRESS"));
    m_progress->setValue(0);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_showCount);
    progressRow->addWidget(m_progress, 1);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* window = new QVBoxLayout(this);
    window->addLayout(choices);
    window->addWidget(pathLabel);
    window->addWidget(m_outPath);
    window->addWidget(m_progressText);
    window->addLayout(progressRow);
    window->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &KREXPORT::runExport);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void KREXPORT::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    const int layout = Preferences::value(kLayoutKey, 0).toInt();
    m_format[layout >= 0 && layout < kFormats ? layout : 0]->setChecked(true);
    m_outPath->setText(QStringLiteral(".TXT"));
}

ExportChoice KREXPORT::choice() const
{
    ExportChoice chosen;
    for (int index = 0; index < kFormats; ++index)
        if (m_format[index]->isChecked())
            chosen.layout = static_cast<ExportLayout>(index);
    if (m_byExpiration->isChecked())
        chosen.sort = m_renewal->isChecked() ? ExportSort::Renewal : ExportSort::Expiration;
    else if (m_byZip->isChecked())
        chosen.sort = ExportSort::Zip;
    chosen.properCase = m_lowerCase->isChecked();
    return chosen;
}

bool KREXPORT::chooseOutputFile()
{
    const ProgramValues& values = m_host.programValues();
    if (!m_fileDialog)
        m_fileDialog = std::make_unique<Cmdlg>(QString::fromStdString(values.programFolder));
    Cmdlg& dialog = *m_fileDialog;
    dialog.setDialogTitle(QStringLiteral("Save KORA Export"));
    dialog.sethWnd(this);
    dialog.setInitDir(exportFolder());
    QString filter = filterPair("All Files (*.*)", "*.*") +
                     filterPair("CSV / Excel (*.csv)", "*.csv") +
                     filterPair("Text Files (*.txt)", "*.txt");
    dialog.setDefaultExtension(QStringLiteral("*.csv"));
    dialog.setFilterIndex(2);
    dialog.setFileName(QStringLiteral("EXPORT.CSV"));
    const ExportLayout layout = choice().layout;
    if (layout == ExportLayout::Tab || layout == ExportLayout::Fixed) {
        dialog.setDefaultExtension(QStringLiteral(".txt"));
        dialog.setFilterIndex(3);
        dialog.setFileName(QStringLiteral("EXPORT.TXT"));
    } else if (layout == ExportLayout::Workbook) {
        filter += filterPair("Excel Workbook (*.xlsx)", "*.xlsx");
        dialog.setDefaultExtension(QStringLiteral(".xlsx"));
        dialog.setFilterIndex(4);
        dialog.setFileName(QStringLiteral("EXPORT.XLSX"));
    }
    dialog.setFilter(filter + kNul);
    dialog.ShowSave();
    return !dialog.CancelPressed();
}

void KREXPORT::finishRun(const QString& path, long long exported)
{
    Preferences::setValue(kLayoutKey, static_cast<int>(choice().layout));
    Preferences::setValue(kFolderKey,
                          QString::fromStdString(ExportDestination::folderOf(path.toStdString())));
    Dialogs::tell(
        this, Dialogs::defaultTitle(),
        QString::fromStdString(ExportDestination::doneMessage(exported, path.toStdString())));
}

void KREXPORT::endRun()
{
    const QString programFolder = QString::fromStdString(m_host.programValues().programFolder);
    if (m_fileDialog)
        m_fileDialog->setInitDir(programFolder);
    QDir::setCurrent(programFolder);
}

QString KREXPORT::exportFolder() const
{
    const QString remembered = Preferences::value(kFolderKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    return QString::fromStdString(m_host.programValues().documentsFolder);
}

std::optional<QString> KREXPORT::askForOutputFile()
{
    QString path;
    if (const auto typed = ExportDestination::typedFile(m_outPath->text().toStdString(),
                                                        exportFolder().toStdString())) {
        path = QString::fromStdString(*typed);
    } else {
        if (!chooseOutputFile()) {
            endRun();
            return std::nullopt;
        }
        path = m_fileDialog->FileName();
    }
    m_outPath->setText(path);
    // The old file is replaced only once the new one is complete, so it is not
    // deleted here: a failed export leaves it as it was.
    if (QFileInfo::exists(path) &&
        Dialogs::ask(this, QStringLiteral("Replace Existing File"),
                     QStringLiteral("Replace Existing File?"), QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::Warning, QMessageBox::No) != QMessageBox::Yes)
        return std::nullopt;
    return path;
}

void KREXPORT::runExport()
{
    const ProgramValues& values = m_host.programValues();
    bool closeWindow = true;
    try {
        Database db(values.stateDatabasePath(), values.stateConnect);
        ExportWriter writer(db, values.state, values.programFolder);
        bool refused = false;
        {
            HourglassGuard hourglass;
            refused = writer.tooMuchData(m_source);
        }
        // A refused result is told before any file is asked for, so none is touched.
        if (!refused) {
            const std::optional<QString> path = askForOutputFile();
            if (!path)
                return;
            ExportWriter::Result result;
            {
                HourglassGuard hourglass;
                WindowProgress progress(m_progressText, m_showCount, m_progress);
                result = writer.run(m_source, choice(), path->toStdString(),
                                    m_sheetTitle.toStdString(), progress);
            }
            refused = result.outcome == ExportWriter::Outcome::TooMuchData;
            if (!refused)
                finishRun(*path, result.exported);
        }
        if (refused)
            Dialogs::tell(this, Dialogs::defaultTitle(), ExportWriter::kTooMuchData,
                          QMessageBox::NoIcon);
    } catch (const ExportError& error) {
        Dialogs::tell(this, Dialogs::defaultTitle(), error.what(), QMessageBox::NoIcon);
        // Without its scratch database the run ends and the window stays.
        closeWindow = std::string(error.what()) != ExportWriter::kNoSystemDirectory;
    } catch (const std::exception& error) {
        Dialogs::tell(this, Dialogs::defaultTitle(), error.what(), QMessageBox::Warning);
    }
    endRun();
    if (closeWindow)
        accept();
}

} // namespace kora
