#pragma once

#include "support/WindowFixture.h"
#include "windows/KRLOOKUP.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

namespace kora::test {

// Drives the lookup editor through its controls as a user would.
struct LookupEditor
{
    KRLOOKUP* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    QLineEdit* title() const { return child<QLineEdit>("SEARCHDESC"); }
    QListWidget* fields() const { return child<QListWidget>("List1"); }
    QLineEdit* from() const { return child<QLineEdit>("FROM"); }
    QLineEdit* thru() const { return child<QLineEdit>("THRU"); }
    QLineEdit* searchFor() const { return child<QLineEdit>("SFOR"); }
    QTableView* pickList() const { return child<QTableView>("TDBGrid5"); }
    QTableView* criteriaGrid() const { return child<QTableView>("TDBGrid3"); }
    QString count() const { return child<QLabel>("lblCount")->text(); }
    QRadioButton* includeOption() const { return child<QRadioButton>("SQLINCLUDE"); }
    QRadioButton* excludeOption() const { return child<QRadioButton>("SQLEXCLUDE"); }
    void accept() const { child<QPushButton>("ADD")->click(); }
    void ok() const { child<QPushButton>("OK")->click(); }
    void deleteCriterion() const { child<QPushButton>("DELETE")->click(); }

    // Clicks a field of the field list.
    void choose(int position) const
    {
        QListWidgetItem* item = fields()->item(position);
        fields()->scrollToItem(item);
        QTest::mouseClick(fields()->viewport(), Qt::LeftButton, {},
                          fields()->visualItemRect(item).center());
    }
    // Replaces a box's text by typing.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    // Chooses a field, types its From and accepts it.
    void add(int position, const QString& from) const
    {
        choose(position);
        type(this->from(), from);
        accept();
    }
    // Rows of a grid, the given columns of each joined by '|'.
    static QStringList rows(const QTableView* grid, std::initializer_list<int> columns)
    {
        QStringList texts;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            QStringList cells;
            for (int column : columns)
                cells << grid->model()->index(row, column).data().toString();
            texts << cells.join('|');
        }
        return texts;
    }
    QStringList pickColumn(int column) const { return rows(pickList(), {column}); }
    // The criteria grid, one "Field|Selection|Include" text per row.
    QStringList criteria() const { return rows(criteriaGrid(), {0, 1, 2}); }
    void sortPickList(int column) const
    {
        emit pickList()->horizontalHeader()->sectionClicked(column);
    }
    int pickRow() const { return pickList()->currentIndex().row(); }
    // Clicks the pick-list row holding a code.
    void pick(const QString& code) const
    {
        const int row = static_cast<int>(pickColumn(0).indexOf(code));
        QVERIFY2(row >= 0, qPrintable(code));
        const QModelIndex index = pickList()->model()->index(row, 1);
        pickList()->scrollTo(index);
        QTest::mouseClick(pickList()->viewport(), Qt::LeftButton, {},
                          pickList()->visualRect(index).center());
    }
};

} // namespace kora::test
