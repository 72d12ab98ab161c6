#pragma once

#include "base/ProgramValues.h"
#include "windows/WindowHost.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QLabel;
class QDialog;
class QMdiArea;
class QPrinter;

namespace kora {

class CommandBar;
class Database;
class DbError;
class KRLIST;
class KRNOTES;
class TITLE;

// The main window: the frame that holds every other window, the owner of the
// program-wide values, the toolbar and the menus, and the start-up sequence.
class MASTER : public QMainWindow, public WindowHost
{
    Q_OBJECT

public:
    // The splash stays on screen while the start-up sequence runs.
    explicit MASTER(TITLE* splash = nullptr);
    ~MASTER() override;

    // Runs the start-up sequence. False when the program ended during it
    // (the user left, or an update run finished).
    bool start();
    bool hasEnded() const { return m_ended; }
    // Fixes the program folder, documents folder and setup connect string
    // from the current folder (the first steps of start()).
    void fixProgramValues();

    ProgramValues& values() { return m_values; }
    KRLIST* resultList() const { return m_list; }

    QWidget* hostWindow() override { return this; }
    QMdiArea* workArea() const override { return m_area; }
    const ProgramValues& programValues() const override { return m_values; }
    // The printer that Printer Setup configures and the print windows use.
    QPrinter& printer() override;

    static QString caption(const QString& workspace, const QString& state);
    static QString programVersion() { return QStringLiteral("2.30.0"); }
    // The data version text the result list reads from the VERSION row.
    void setDataVersion(const QString& text) override;
    bool copySqlToClipboard() const override;

    QString GetSpecialFolderPath(int folderId) const;

    // Enables or disables a toolbar button or menu item; commands whose
    // windows this version does not have stay disabled.
    void enableCommand(Command command, bool enabled) override;
    bool isCommandEnabled(Command command) const;
    // The same by the action's object name ("SSRibbon1_4", "mnuPrintSearch").
    bool isCommandEnabled(const QString& name) const;

    void SubExit();
    // The backup window, modal.
    void SubProcessNotes();
    // The backup window beside the main window, as the File menu shows it.
    void showNotesWindow();
    // The backup window the File menu shows, while it is open.
    KRNOTES* notesWindow() const;
    // The print window on the lookup shown, and the manual's printout.
    void SubPrintSearch();
    void SubPrintManual();
    void SubHelp();
    void SubChangeState();
    // The upgrade window from the Update command.
    void SubUpgrade();
    // Says, the first time in a run, that state files on a network folder
    // are not safe to share between PCs; nothing on a local folder.
    void tellOfNetworkFolderOnce(QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Carries out a toolbar button or menu item.
    void run(Command command);
    // New Search: the lookup editor on a new lookup.
    void newSearch();
    // The lookup editor on the result list's current lookup file.
    void showLookupEditor();
    // Edit Search: the lookup editor on the lookup tab shown, or from the
    // all-companies tab the list of lookups to edit or delete.
    void editSearch();
    void SubExport(); // the export window on the current lookup
    void backToList();
    void showAbout();
    void showDataVersion();
    void setupPrinter();
    // The selected company shown again after a restore or merge.
    void showRestoredUserData();
    // The status bar's line on the follow-ups overdue or due today, hidden
    // when there are none; its Show opens the window that lists them.
    void remindOfFollowUps();
    void showFollowUpsDue();
    // Workspace choice and the "Update Database?" offer; false when the program ended.
    bool chooseWorkspace(QString& workspace, QString& state);
    // Opens the chosen state database and runs a waiting update. False when it
    // will not open (after saying why) or when an update run ended the program.
    bool openStateDatabase();
    // Loads the result list; false (after saying why) when the state database fails.
    bool showResultList(const QString& workspace, const QString& state);
    void endProgram();
    void closeResultList();
    // After a command lost the connection to the state database's server:
    // the windows open on the list close, then the list, and the workspace
    // window comes back, where the state opens anew once the server answers.
    void returnToWorkspace();
    // The upgrade window; true when the user is to choose a workspace and
    // state on the upgraded files. An upgrade that replaced a database ends
    // the program.
    bool showUpgradeWindow();

    ProgramValues m_values;
    TITLE* m_splash;
    QMdiArea* m_area;
    CommandBar* m_commands;
    QLabel* m_lblProgram;
    QLabel* m_lblVersion;
    QLabel* m_lblFollowUps;
    KRLIST* m_list = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    bool m_ended = false;
    bool m_toldOfNetworkFolder = false;
    QPointer<KRNOTES> m_notesWindow;
    bool m_returningToWorkspace = false;
    // The window returnToWorkspace closed last; its caller may still be running.
    QPointer<QDialog> m_closingWindow;
    // Stores of notes and user fields before this window came, so that the
    // exit counts only this session's.
    long long m_userDataChangesAtStart;
};

} // namespace kora
