#include "shell/MASTER.h"

#include "base/Command.h"
#include "base/Dates.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/DbError.h"
#include "database/NetworkFolder.h"
#include "database/TableRecordSet.h"
#include "results/FollowUps.h"
#include "results/UserDataChanges.h"
#include "shell/CommandBar.h"
#include "shell/HelpWindow.h"
#include "shell/KRWSPACE.h"
#include "shell/KoraApplication.h"
#include "shell/StateOpening.h"
#include "shell/TITLE.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "widgets/LocalFormats.h"
#include "widgets/NormalCursor.h"
#include "windows/FollowUpsDue.h"
#include "windows/KREDDEL.h"
#include "windows/KREXPORT.h"
#include "windows/KRLIST.h"
#include "windows/KRLOOKUP.h"
#include "windows/KRMANUAL.h"
#include "windows/KRNOTES.h"
#include "windows/KRPRINT.h"
#include "windows/KRUPGRD.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

namespace kora {

MASTER::MASTER(TITLE* splash)
    : m_splash(splash), m_area(new QMdiArea(this)), m_commands(new CommandBar(*this)),
      m_lblProgram(new QLabel(this)), m_lblVersion(new QLabel(this)),
      m_lblFollowUps(new QLabel(this)), m_userDataChangesAtStart(UserDataChanges::count())
{
    setObjectName(QStringLiteral("MASTER"));
    setWindowTitle(QStringLiteral("KORA"));
    m_area->setObjectName(QStringLiteral("MDIArea"));
    m_area->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_area);
    m_lblProgram->setObjectName(QStringLiteral("lblProgram"));
    m_lblProgram->setText(programVersion());
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Data version:"), this));
    statusBar()->addPermanentWidget(m_lblVersion);
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("  Program version:"), this));
    statusBar()->addPermanentWidget(m_lblProgram);
    m_lblFollowUps->setObjectName(QStringLiteral("lblFollowUps"));
    m_lblFollowUps->hide();
    statusBar()->addWidget(m_lblFollowUps);
    connect(m_lblFollowUps, &QLabel::linkActivated, this, &MASTER::showFollowUpsDue);
    connect(m_commands, &CommandBar::triggered, this, &MASTER::run);
    if (auto* application = qobject_cast<KoraApplication*>(QCoreApplication::instance()))
        connect(application, &KoraApplication::databaseDisconnected, this,
                [this](const QString& message) {
                    // The windows that find the same loss while it is told or
                    // being dealt with say nothing more.
                    if (m_returningToWorkspace)
                        return;
                    m_returningToWorkspace = true;
                    Dialogs::tell(QApplication::activeWindow(), Dialogs::defaultTitle(), message,
                                  QMessageBox::Critical);
                    if (m_list)
                        QTimer::singleShot(0, this, &MASTER::returnToWorkspace);
                    else
                        m_returningToWorkspace = false;
                });
    // A roomy window that still fits a small screen whole.
    QSize size(1180, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

MASTER::~MASTER() = default;

void MASTER::enableCommand(Command command, bool enabled)
{
    m_commands->enable(command, enabled);
}

bool MASTER::isCommandEnabled(Command command) const
{
    return m_commands->isEnabled(command);
}

bool MASTER::isCommandEnabled(const QString& name) const
{
    const auto command = commandNamed(name.toStdString());
    return command && isCommandEnabled(*command);
}

bool MASTER::copySqlToClipboard() const
{
    return m_commands->isChecked(Command::CopySql);
}

QPrinter& MASTER::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageLayout(LocalFormats::withLocalPaper(m_printer->pageLayout()));
    }
    return *m_printer;
}

QString MASTER::caption(const QString& workspace, const QString& state)
{
    return QStringLiteral("KORA - Workspace is ") + workspace + QStringLiteral(" and State is ") +
           state;
}

void MASTER::setDataVersion(const QString& text)
{
    m_lblVersion->setText(text);
}

QString MASTER::GetSpecialFolderPath(int folderId) const
{
    constexpr int kDocuments = 5;
    if (folderId != kDocuments)
        return QStringLiteral("Folder Not Valid On this OS");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        return QStringLiteral("Folder Not Valid On this OS");
    if (!QDir(folder).exists())
        return QStringLiteral("Folder Does Not Exist");
    return folder;
}

void MASTER::fixProgramValues()
{
    m_values.documentsFolder = GetSpecialFolderPath(5).toStdString();
    if (m_splash)
        m_splash->setVersion(m_lblProgram->text());
    const QString current = QDir::currentPath();
    m_values.programFolder =
        (current.endsWith(QLatin1Char('/')) ? current : current + '/').toStdString();
    m_values.startFolder = current.toStdString();
    m_values.setupConnect = std::string(kSetupConnect);
}

bool MASTER::start()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    fixProgramValues();
    CENTERFORM(this);

    // The update check runs here only, never on a later change of state.
    QString workspace;
    QString state;
    while (true) {
        if (!chooseWorkspace(workspace, state))
            return false;
        if (!openStateDatabase()) {
            if (m_ended)
                return false;
            continue;
        }
        if (showResultList(workspace, state))
            break;
    }
    show();
    if (m_splash)
        m_splash->close();
    restoreNormalCursor();
    return true;
}

void MASTER::tellOfNetworkFolderOnce(QWidget* parent)
{
    if (m_toldOfNetworkFolder || !NetworkFolder::holds(m_values.programFolder))
        return;
    m_toldOfNetworkFolder = true;
    Dialogs::tell(parent, Dialogs::defaultTitle(),
                  QStringLiteral("The program folder %1 is on a network file system.\n\n"
                                 "KORA opens the state databases there with a rollback "
                                 "journal, which is safe for the users of one PC. To share "
                                 "a state between several PCs, publish it to a database "
                                 "server (see \"A state on a database server\" in the "
                                 "README).")
                      .arg(QString::fromStdString(m_values.startFolder)),
                  QMessageBox::Warning);
}

bool MASTER::chooseWorkspace(QString& workspace, QString& state)
{
    while (true) {
        // Only OK accepts: closing the window leaves no choice made, also on a
        // change of state after an earlier acceptance.
        m_values.selectionAccepted = false;
        KRWSPACE window(*this);
        placeClearOf(&window, m_splash);
        window.exec();
        if (m_ended)
            return false;
        if (!m_values.selectionAccepted) {
            if (Dialogs::ask(this, Dialogs::defaultTitle(), QStringLiteral("Update Database?"),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
                             QMessageBox::Yes) != QMessageBox::Yes)
                continue;
            if (showUpgradeWindow())
                continue;
            if (!m_ended)
                endProgram();
            return false;
        }
        workspace = window.workspace();
        state = window.state();
        return true;
    }
}

bool MASTER::openStateDatabase()
{
    const StateOpening::Outcome outcome = StateOpening::open(this, m_values, m_splash);
    if (outcome == StateOpening::Outcome::Updated) {
        // The next start works on the new data.
        show();
        endProgram();
    }
    return outcome == StateOpening::Outcome::Opened;
}

bool MASTER::showResultList(const QString& workspace, const QString& state)
{
    closeResultList();
    try {
        m_list = new KRLIST(*this, workspace, state,
                            QString::fromStdString(m_values.programFolder) + workspace + '/');
        setWindowTitle(caption(workspace, state));
        m_list->showMaximized();
        // The tabs first, on a list still empty: the companies are read and
        // shown once, by the sort.
        m_list->SETTABS();
        m_list->SORT_SELECT(2);
        remindOfFollowUps();
    } catch (const DbError& error) {
        // The database failed after its check: choose again.
        if (m_list)
            m_list->parentWidget()->close();
        m_list = nullptr;
        StateOpening::reportFailure(this, m_values, error);
        return false;
    }
    return true;
}

void MASTER::run(Command command)
{
    // A toolbar button first clears the lookup file the previous command chose.
    if (static_cast<int>(command) < kToolbarButtonCount && m_list)
        m_list->SetCurSQLFile(false);
    switch (command) {
    case Command::NewLookupButton:
    case Command::NewSearch:
        newSearch();
        break;
    case Command::EditLookupButton:
    case Command::EditSearch:
        editSearch();
        break;
    case Command::BackupButton:
        SubProcessNotes();
        break;
    case Command::ChangeStateButton:
    case Command::NewState:
        SubChangeState();
        break;
    case Command::PrintLookupButton:
    case Command::PrintSearch:
        SubPrintSearch();
        break;
    case Command::ExportLookupButton:
    case Command::Export:
        SubExport();
        break;
    case Command::PrintManualButton:
    case Command::PrintManual:
        SubPrintManual();
        break;
    case Command::UpdateButton:
    case Command::UpdateDatabase:
        SubUpgrade();
        break;
    case Command::HelpButton:
    case Command::ProgramHelp:
        SubHelp();
        break;
    case Command::ExitButton:
        SubExit();
        break;
    case Command::PrinterSetup:
        setupPrinter();
        break;
    case Command::Breakdown:
        if (m_list)
            m_list->showBreakdown();
        break;
    // These leave the list as it is.
    case Command::Backup:
        showNotesWindow();
        return;
    case Command::Exit:
        SubExit();
        return;
    case Command::About:
        showAbout();
        return;
    case Command::DataVersion:
        showDataVersion();
        return;
    case Command::CopySql:
        return;
    }
    backToList();
}

void MASTER::newSearch()
{
    if (!m_list)
        return;
    m_list->SetCurSQLFile(true);
    showLookupEditor();
}

void MASTER::showLookupEditor()
{
    KRLOOKUP editor(m_list->lookupTabs(), m_list->database(), m_list->state().toStdString(), this);
    connect(&editor, &KRLOOKUP::saved, m_list, &KRLIST::showSavedLookup);
    connect(&editor, &KRLOOKUP::cancelled, m_list, &KRLIST::SETTABS);
    editor.exec();
}

void MASTER::editSearch()
{
    if (!m_list)
        return;
    // On a lookup tab its own lookup is the one to edit.
    m_list->SetCurSQLFile(false);
    if (!m_list->lookupTabs().currentFile().empty()) {
        showLookupEditor();
        return;
    }
    KREDDEL window(m_list->lookupTabs(), m_list->database(), m_list->state().toStdString(), this);
    connect(&window, &KREDDEL::lookupSaved, m_list, &KRLIST::showSavedLookup);
    connect(&window, &KREDDEL::lookupRemoved, m_list, &KRLIST::showLookupRemoved);
    connect(&window, &KREDDEL::cancelled, m_list, &KRLIST::SETTABS);
    window.exec();
}

void MASTER::SubExport()
{
    if (!m_list)
        return;
    KREXPORT window(*this, m_list->exportSource(), m_list->exportTitle());
    window.exec();
}

void MASTER::backToList()
{
    if (!m_list || m_ended)
        return;
    m_list->show();
    m_list->SETTABS();
}

void MASTER::SubHelp()
{
    HelpWindow::showContents(this, QString::fromStdString(m_values.programFolder));
}

void MASTER::SubChangeState()
{
    QString workspace;
    QString state;
    while (chooseWorkspace(workspace, state) && !showResultList(workspace, state)) {
    }
}

void MASTER::closeResultList()
{
    if (!m_list)
        return;
    // The list goes together with its frame in the work area, at once, so
    // that its handle on the state database is closed when this returns.
    QWidget* frame = m_list->parentWidget();
    m_list = nullptr;
    frame->close();
    delete frame;
}

void MASTER::returnToWorkspace()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<KRWSPACE*>(modal)) {
        // The user is choosing a workspace already.
        m_returningToWorkspace = false;
        return;
    }
    // A window still open, or one whose caller has not yet returned, works on
    // the list: the list goes only after them. A message waits for the user.
    if (modal || m_closingWindow) {
        constexpr int kRetryMilliseconds = 100;
        QTimer::singleShot(kRetryMilliseconds, this, &MASTER::returnToWorkspace);
        auto* window = qobject_cast<QDialog*>(modal);
        if (window && !qobject_cast<QMessageBox*>(window)) {
            m_closingWindow = window;
            window->reject();
        }
        return;
    }
    m_returningToWorkspace = false;
    closeResultList();
    SubChangeState();
}

bool MASTER::showUpgradeWindow()
{
    m_values.upgradeContinue = false;
    KRUPGRD window(this, m_values.programFolder, [this] { closeResultList(); });
    window.exec();
    m_values.upgradeContinue = window.ending() == SelfUpgrade::Ending::SelectState;
    if (window.ending() == SelfUpgrade::Ending::Restart)
        endProgram();
    return m_values.upgradeContinue;
}

void MASTER::SubUpgrade()
{
    const QString workspace = m_list ? m_list->workspace() : QString();
    const QString state = m_list ? m_list->state() : QString();
    if (showUpgradeWindow()) {
        SubChangeState();
        return;
    }
    // Left without an upgrade after the list let its database go: the list
    // comes back on the same workspace and state.
    if (!m_ended && !m_list && !workspace.isEmpty())
        showResultList(workspace, state);
}

void MASTER::SubPrintSearch()
{
    if (!m_list)
        return;
    KRPRINT window(*this, m_list->lookupToPrint());
    window.exec();
}

void MASTER::SubPrintManual()
{
    KRMANUAL window(*this);
    window.exec();
}

void MASTER::SubExit()
{
    if (Dialogs::ask(this, QStringLiteral("Exit KORA"),
                     QStringLiteral("Are you sure you want to quit KORA?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                     QMessageBox::Yes) != QMessageBox::Yes)
        return;
    if (UserDataChanges::count() != m_userDataChangesAtStart) {
        // Cancel (or Escape) goes back to the program, neither backed up nor ended.
        const QMessageBox::StandardButton answer =
            Dialogs::ask(this, QStringLiteral("Backup Notes"),
                         QStringLiteral("You may have changed some notes during your session.  "
                                        "Do you want to back them up now?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                         QMessageBox::Question, QMessageBox::Yes);
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes)
            SubProcessNotes();
    }
    endProgram();
}

void MASTER::SubProcessNotes()
{
    KRNOTES window(*this, this);
    connect(&window, &KRNOTES::userDataRestored, this, &MASTER::showRestoredUserData);
    window.exec();
}

void MASTER::showNotesWindow()
{
    // One backup window at a time; the main window stays usable beside it.
    if (!m_notesWindow) {
        m_notesWindow = new KRNOTES(*this, this);
        connect(m_notesWindow, &KRNOTES::userDataRestored, this, &MASTER::showRestoredUserData);
        connect(m_notesWindow, &QDialog::finished, m_notesWindow, &QObject::deleteLater);
    }
    m_notesWindow->show();
    m_notesWindow->raise();
    m_notesWindow->activateWindow();
}

KRNOTES* MASTER::notesWindow() const
{
    return m_notesWindow;
}

void MASTER::showRestoredUserData()
{
    if (m_list)
        m_list->refreshCompany();
}

void MASTER::endProgram()
{
    m_ended = true;
    // Modal windows return from their own event loops first.
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        modal->reject();
    if (m_splash)
        m_splash->close();
    restoreNormalCursor();
    close();
}

void MASTER::closeEvent(QCloseEvent* event)
{
    m_ended = true;
    m_area->closeAllSubWindows();
    event->accept();
    // Ends the main event loop when it runs; during start() the caller sees hasEnded().
    QCoreApplication::quit();
}

void MASTER::showAbout()
{
    const QString version = m_lblProgram->text();
    Dialogs::tell(this, QStringLiteral("About KORA Ver ") + version,
                  QStringLiteral("Kora Version ") + version +
                      QStringLiteral("\r\n\r\nKora Prospecting Systems\r\n"
                                     "Sales: (800) 555-0142\r\n"
                                     "Technical Support: (800) 555-0199\r\n"
                                     "www.kora-prospecting.example"),
                  QMessageBox::NoIcon);
}

void MASTER::showDataVersion()
{
    Dialogs::tell(this, Dialogs::defaultTitle(),
                  QStringLiteral("Data Version (") + m_lblVersion->text() + QLatin1Char(')'),
                  QMessageBox::NoIcon);
}

void MASTER::setupPrinter()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.exec();
}

void MASTER::remindOfFollowUps()
{
    size_t due = 0;
    if (m_list) {
        try {
            due = FollowUps(m_list->database()).dueBy(Dates::today()).size();
        } catch (const DbError&) {
            // Without the reminder the agent works on; the list reports its database.
        }
    }
    m_lblFollowUps->setVisible(due > 0);
    m_lblFollowUps->setText(
        QString::number(due) +
        (due == 1 ? QStringLiteral(" follow-up due") : QStringLiteral(" follow-ups due")) +
        QStringLiteral(" \u2014 <a href=\"show\">Show</a>"));
}

void MASTER::showFollowUpsDue()
{
    if (!m_list)
        return;
    FollowUpsDue window(*m_list, this);
    window.exec();
    remindOfFollowUps();
}

} // namespace kora
