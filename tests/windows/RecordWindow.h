#pragma once

#include "support/WindowFixture.h"
#include "windows/KRLISTI.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace kora::test {

// Drives a company's record window as a user would. Boxes are named by the
// field they show ("User1", "UserPhone", "SIC"...).
struct RecordWindow
{
    KRLISTI* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    QLineEdit* box(const char* field) const { return child<QLineEdit>(field); }
    QString text(const char* field) const { return box(field)->text(); }
    QStringList texts(std::initializer_list<const char*> fields) const
    {
        QStringList shown;
        for (const char* field : fields)
            shown << text(field);
        return shown;
    }
    QString label(const char* name) const { return child<QLabel>(name)->text(); }
    QPlainTextEdit* notes() const { return child<QPlainTextEdit>("NOTES"); }
    QString dateAdded() const { return label("lblToday"); }
    QTableView* classes() const { return child<QTableView>("TDBGrid7"); }
    QTableView* associates() const { return child<QTableView>("TDBGrid8"); }
    void close() const { child<QPushButton>("Command1")->click(); }

    // Moves the focus into a control as a click would.
    static void enter(QWidget* widget) { widget->setFocus(Qt::MouseFocusReason); }
    // Types over a box's text, as a user who clicked into it.
    void type(const char* field, const QString& text) const
    {
        enter(box(field));
        box(field)->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box(field), Qt::Key_Delete);
        else
            QTest::keyClicks(box(field), text);
    }
    static QStringList column(QTableView* grid, int column)
    {
        QStringList texts;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            texts << grid->model()->index(row, column).data().toString();
        return texts;
    }
};

} // namespace kora::test
