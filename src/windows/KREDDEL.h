#pragma once

#include <QDialog>

class QListWidget;

namespace kora {

class KRLIST;

// Lists the saved lookups by title, one entry per lookup tab of the result
// list, and opens one in the lookup editor or deletes it.
class KREDDEL : public QDialog
{
    Q_OBJECT

public:
    explicit KREDDEL(KRLIST& list, QWidget* parent = nullptr);

    // Cancel: leaves and rebuilds the result list's tabs.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();
    // The lookup tab of the chosen entry; 0 (after saying so) when none is chosen.
    int chosenTab();
    void edit();
    void remove();

    KRLIST& m_list;
    QListWidget* m_lookups; // List1
};

} // namespace kora
