#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;

namespace kora {

class Database;
class PickListModel;

// The lookup editor's list of the counties, class codes or SIC codes, with the
// box that searches it: a click, or Enter, picks a code for the range.
class PickListPanel : public QWidget
{
    Q_OBJECT

public:
    PickListPanel(Database& db, QWidget* parent);

    // Shows the codes of the field; hides the list for the other fields.
    void showFor(int position);
    // Hides the list, holding no field's codes.
    void clear();
    // Picks the highlighted code.
    void pickCurrent();
    QLineEdit* searchBox() const { return m_searchFor; }
    QTableView* grid() const { return m_grid; }

signals:
    // The field whose code was picked and the code.
    void picked(int position, const QString& code);

private:
    void fill(int position, int sortColumn);
    void search(const QString& text);
    void pick(int row);

    Database& m_db;
    int m_field = -1;       // the field whose codes the list holds
    int m_sortColumn = 0;   // the column it is sorted and searched by
    QLineEdit* m_searchFor; // SFOR
    QLabel* m_searchLabel;
    PickListModel* m_model; // CUEFILE
    QTableView* m_grid;     // TDBGrid5
};

} // namespace kora
