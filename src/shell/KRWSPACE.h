#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QPushButton;

namespace kora {

class MASTER;

// The workspace window: choose a workspace (a folder of saved lookups) and a
// state database, create or delete a workspace.
class KRWSPACE : public QDialog
{
    Q_OBJECT

public:
    explicit KRWSPACE(MASTER& master);

    // The chosen names, read by the caller after the window returns.
    QString workspace() const;
    QString state() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void activate();
    void accept() override;
    void deleteWorkspace();
    // The offer of a program folder without data: the demo data, or update files.
    void layOutDemo();
    void chooseUpdateFiles();
    bool isListed(const QString& name) const;
    QString workspaceFolder(const QString& name) const;

    MASTER& m_master;
    QComboBox* m_workspace; // WORKSPACE
    QComboBox* m_state;     // STATE
    QPushButton* m_ok;      // OK
    QFrame* m_firstRun;     // shown while the program folder holds no data
};

} // namespace kora
