#include "results/KRLIST.h"

#include "database/Database.h"
#include "database/TableRecordSet.h"
#include "shell/MASTER.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

namespace kora {

KRLIST::KRLIST(MASTER& master, const QString& workspace, const QString& state,
               const QString& workspaceFolder)
    : m_master(master), m_workspace(workspace), m_state(state), m_workspaceFolder(workspaceFolder),
      m_db(master.values().stateDatabasePath(), master.values().stateConnect), m_prompt(this),
      m_notes(std::make_unique<CompanyNotes>(m_db, m_prompt))
{
    setObjectName(QStringLiteral("KRLIST"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The list fills the work area without a frame of its own, and so leaves
    // the main window's caption as it is.
    QMdiSubWindow* frame = master.workArea()->addSubWindow(this, Qt::FramelessWindowHint);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    readDataVersion();
}

int KRLIST::GetNoteLength(const QString& file, const QString& sequence)
{
    return m_notes->GetNoteLength(file.toStdString(), sequence.toStdString());
}

void KRLIST::GETNOTES(const QString& file, const QString& sequence, QPlainTextEdit* NOTE)
{
    NOTE->setPlainText(
        QString::fromStdString(m_notes->GETNOTES(file.toStdString(), sequence.toStdString())));
}

void KRLIST::SETNOTES(QPlainTextEdit* NOTE)
{
    m_notes->SETNOTES(NOTE->toPlainText().toStdString());
}

void KRLIST::releaseNotes()
{
    m_notes->release();
}

void KRLIST::refreshCompany() {}

void KRLIST::positionOn(const QString&, const QString&) {}

void KRLIST::readDataVersion()
{
    // The data version is the date of the last company load, shown as MM/DD/YYYY.
    try {
        TableRecordSet version(m_db, "VERSION");
        version.setIndex("PRIMARY");
        version.seek("=", {Value("1")});
        const std::string date = version.noMatch() ? "" : version.field("Version").toString();
        m_master.setDataVersion(date.size() == 10 ? QString::fromStdString(date.substr(5, 2) + "/" +
                                                                           date.substr(8, 2) + "/" +
                                                                           date.substr(0, 4))
                                                  : QString::fromStdString(date));
    } catch (const DbError&) {
        m_master.setDataVersion(QString());
    }
}

} // namespace kora
