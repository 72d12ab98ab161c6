#pragma once

#include "support/WindowFixture.h"
#include "windows/KRLIST.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

namespace kora::test {

// Drives the result list through its controls as a user would.
struct ResultList
{
    KRLIST* list;

    template <typename T> T* child(const char* name) const { return named<T>(list, name); }
    QTabBar* tabs() const { return child<QTabBar>("SSTab1"); }
    QTableView* allGrid() const { return child<QTableView>("TDBGrid1"); }
    QTableView* lookupGrid() const { return child<QTableView>("TDBGrid4"); }
    QTableView* grid() const { return tabs()->currentIndex() == 0 ? allGrid() : lookupGrid(); }
    QLineEdit* searchBox() const { return child<QLineEdit>("SFOR"); }
    QPushButton* markButton() const { return child<QPushButton>("MarkIt"); }
    QPushButton* moreInfoButton() const { return child<QPushButton>("Command1"); }

    void openTab(int tab) const { tabs()->setCurrentIndex(tab); }
    void clickHeader(int column) const { emit grid()->horizontalHeader()->sectionClicked(column); }
    void search(const QString& text) const
    {
        searchBox()->clear();
        QTest::keyClicks(searchBox(), text);
    }
    // Text of a column of the grid shown, on its current row or on every row.
    QString current(int column = 2) const
    {
        return grid()->currentIndex().siblingAtColumn(column).data().toString();
    }
    QStringList column(int column = 2) const
    {
        QStringList texts;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            texts << grid()->model()->index(row, column).data().toString();
        return texts;
    }
    QString count() const { return child<QLineEdit>("VIEWCOUNT")->text(); }
    QString address() const { return child<QPlainTextEdit>("ADDRESS")->toPlainText(); }
    QString phone() const { return child<QLineEdit>("PHONE")->text(); }
    QString modTrend() const { return child<QLabel>("lblModTrend")->text(); }
    bool notesFlagShown() const { return !child<QLabel>("lblNotes")->isHidden(); }
    bool fullAddressOffered() const { return !child<QPushButton>("FULLADDR")->isHidden(); }
    // Whether the buttons acting on the selected company can be used.
    bool anyCompanyButtonEnabled() const
    {
        for (const char* name : {"Command1", "FULLADDR", "PRINTCUR", "MarkIt"})
            if (child<QPushButton>(name)->isEnabled())
                return true;
        return false;
    }
};

} // namespace kora::test
