#pragma once

#include "database/Database.h"
#include "results/CompanyNotes.h"
#include "shell/DialogPrompt.h"

#include <QWidget>

#include <memory>

class QPlainTextEdit;

namespace kora {

class MASTER;

// The result list: the main window's working child, one per workspace and state.
class KRLIST : public QWidget
{
    Q_OBJECT

public:
    KRLIST(MASTER& master, const QString& workspace, const QString& state,
           const QString& workspaceFolder);

    const QString& workspace() const { return m_workspace; }
    const QString& state() const { return m_state; }
    const QString& workspaceFolder() const { return m_workspaceFolder; }
    // The list's own handle on the state database; record windows read and
    // write the company row through it, so the list sees every change at once.
    Database& database() { return m_db; }

    int GetNoteLength(const QString& file, const QString& sequence);
    // Loads the company's note into NOTE and keeps it locked; NOTE holds
    // "***LOCKED***" when another user has it.
    void GETNOTES(const QString& file, const QString& sequence, QPlainTextEdit* NOTE);
    // Stores NOTE as the note of the company GETNOTES locked, and releases it.
    void SETNOTES(QPlainTextEdit* NOTE);
    // Releases a note lock without storing.
    void releaseNotes();

    // Shows the selected company again after a record window stored a change.
    void refreshCompany();
    // Shows all companies positioned on the first company at or after the key.
    void positionOn(const QString& file, const QString& sequence);

private:
    void readDataVersion();

    MASTER& m_master;
    QString m_workspace;
    QString m_state;
    QString m_workspaceFolder;
    Database m_db;
    DialogPrompt m_prompt;
    std::unique_ptr<CompanyNotes> m_notes;
};

} // namespace kora
