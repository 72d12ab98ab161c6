#pragma once

#include <QWidget>

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

private:
    void readDataVersion();

    MASTER& m_master;
    QString m_workspace;
    QString m_state;
    QString m_workspaceFolder;
};

} // namespace kora
