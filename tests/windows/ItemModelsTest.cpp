#include "LookupEditor.h"
#include "LookupWindowFixture.h"
#include "ResultsFixture.h"

#include "lookup/FieldCatalogue.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace kora;
using namespace kora::test;

// The grids' models kept under Qt's model checker while the list and the
// lookup editor load, sort, search and change rows, so that a view never
// reads a row that is not there or misses a change.
class ItemModelsTest : public QObject
{
    Q_OBJECT

private:
    static QAbstractItemModel* modelOf(QWidget* window, const char* grid)
    {
        auto* view = window->findChild<QTableView*>(grid);
        if (!view)
            qFatal("no grid %s", grid);
        return view->model();
    }

    static void readEveryCell(QAbstractItemModel* model)
    {
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                model->index(row, column).data();
    }

private slots:
    void companyGridsStayConsistent()
    {
        ResultsFixture data("PA");
        data.db().execute("BEGIN");
        for (int company = 0; company < 300; ++company) {
            const std::string file = std::to_string(2000000 + company);
            data.addCompany(file, "01",
                            {{"NAME1", "COMPANY " + std::to_string(company % 97)},
                             {"COUNTYNAME", company % 2 ? "Bucks" : "Adams"},
                             {"ZIP", company % 3 ? "18901" : "19380"}});
        }
        data.db().execute("COMMIT");
        std::filesystem::create_directories(data.programFolder() + "INITIAL");
        std::ofstream(data.programFolder() + "INITIAL/SEARCH1.KRD", std::ios::binary)
            << "\"Bucks\",\"Zip Code\",\"18901\",\"18901\",\"ZIP\",#TRUE#\r\n";
        KRLIST& list = data.list();
        QAbstractItemModelTester allTester(modelOf(&list, "TDBGrid1"),
                                           QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester lookupTester(
            modelOf(&list, "TDBGrid4"), QAbstractItemModelTester::FailureReportingMode::QtTest);

        for (int column : {2, 0, 3, 2}) {
            list.SORT_SELECT(column);
            readEveryCell(modelOf(&list, "TDBGrid1"));
        }
        QCOMPARE(modelOf(&list, "TDBGrid1")->rowCount(), 300);

        list.SETTABS();
        list.selectTab(1);
        // The lookup excludes zip 18901: a third of the companies remain.
        QCOMPARE(modelOf(&list, "TDBGrid4")->rowCount(), 100);
        for (int column : {0, 3, 2}) {
            list.SORTSRCH(column);
            readEveryCell(modelOf(&list, "TDBGrid4"));
        }
        list.refreshCompany();
        list.selectTab(0);
        list.refreshCompany();
    }

    void pickListStaysConsistent()
    {
        LookupWindowFixture app;
        app.addFullStateCodes();
        app.list().SetCurSQLFile(true);
        const std::unique_ptr<KRLOOKUP> window = app.makeEditor();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        LookupEditor editor{window.get()};
        QAbstractItemModelTester tester(editor.pickList()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        editor.choose(FieldCatalogue::Position::SicCode);
        const int sicCodes = editor.pickList()->model()->rowCount();
        QVERIFY(sicCodes > 100);
        readEveryCell(editor.pickList()->model());
        editor.pickList()->horizontalHeader()->sectionClicked(1);
        LookupEditor::type(editor.searchFor(), "ME");
        editor.choose(FieldCatalogue::Position::County);
        QVERIFY(editor.pickList()->model()->rowCount() != sicCodes);
        readEveryCell(editor.pickList()->model());
    }
};

QTEST_MAIN(ItemModelsTest)
#include "ItemModelsTest.moc"
