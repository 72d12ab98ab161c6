#pragma once

#include <QDialog>

#include <string>

class QListWidget;

namespace kora {

class Database;
class LookupTabs;

// Lists the saved lookups by title, one entry per lookup tab, and opens one
// in the lookup editor or deletes it.
class KREDDEL : public QDialog
{
    Q_OBJECT

public:
    // The database and state are the lookup editor's.
    KREDDEL(LookupTabs& tabs, Database& db, std::string state, QWidget* parent = nullptr);

    // Cancel: leaves without a change.
    void reject() override;

signals:
    // The lookup editor opened from here wrote the lookup file.
    void lookupSaved(const QString& fileName, bool newLookup);
    // A lookup file was deleted.
    void lookupRemoved();
    // Left without a change, here or in the lookup editor.
    void cancelled();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();
    // The lookup tab of the chosen entry; 0 (after saying so) when none is chosen.
    int chosenTab();
    void edit();
    void remove();

    LookupTabs& m_tabs;
    Database& m_db;
    std::string m_state;
    QListWidget* m_lookups; // List1
};

} // namespace kora
