#include "windows/KRLISTI.h"

#include "RecordWindow.h"
#include "ResultsFixture.h"
#include "results/NoteLock.h"

#include <QtTest>

using namespace kora;
using namespace kora::test;

namespace {

// The tests run under the C locale, which has no date format of its own.
QString today()
{
    return QDate::currentDate().toString("MM/dd/yy");
}

// An NJ database with a company of two sequences (ACME), one of another file,
// and the record window opened on one of them.
struct Record
{
    ResultsFixture data{"NJ"};
    std::unique_ptr<KRLISTI> window;
    RecordWindow page{nullptr};

    Record()
    {
        data.db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES "
                          "('3599', 'Industrial Machinery, NEC')");
        data.db().execute("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, "
                          "LOSSCOST) VALUES ('1000001', '01', '100000101', '8810', "
                          "'Clerical Office Employees', 0.12), ('1000001', '01', '100000101', "
                          "'3632', 'Machine Shop NOC', 2.5), ('1000001', '02', '100000102', "
                          "'8742', 'Salespersons', 0.3)");
        data.addCompany("1000001", "01", {{"NAME1", "ACME TOOL CO"}}, "Called in March");
        data.db().execute(
            "UPDATE PRIME SET NAME2 = ' ', STREET = '12 MILL RD', CITY = 'TRENTON', ST = 'NJ', "
            "ZIP = '08601', ZIPEXT = ' ', PHONE = '609-555-0100', SIC = '3599', EMPLOYEES = '4', "
            "SALES = '2', NJAR = 9507, ARESTPREM = '0012500', ARTOTPREM = '0102384', ARTOTLOSS = "
            "'0000000', NJPPAP = 'Y', NJCCPAP = 'N', User1 = ' ', User2 = ' ', User3 = ' ', "
            "UserPhone = '609-555-0199' WHERE FILESEQ = '100000101'");
        data.addCompany("1000001", "02", {{"NAME1", "ACME TOOL SALES"}, {"SIC", "1234"}});
        data.db().execute("UPDATE PRIME SET EMPLOYEES = 'X', SALES = '9', NJAR = 312 "
                          "WHERE FILESEQ = '100000102'");
        data.addCompany("1000002", "01",
                        {{"NAME1", "OTHER WORKS"}, {"EMPLOYEES", "9"}, {"SALES", "0"}});
    }

    bool open(const char* file = "1000001", const char* sequence = "01")
    {
        window = std::make_unique<KRLISTI>(data.list(), file, sequence, "ACME TOOL CO");
        page.window = window.get();
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    Value field(const char* name) { return data.field("1000001", "01", name); }
    bool noteFree() { return NoteLock(data.db()).tryLock("1000001", "01"); }
    void leave() const { RecordWindow::enter(page.box("UserFax")); }
};

} // namespace

class KRLISTITest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void showsTheCompanyAndStoresWhatTheUserTypes()
    {
        Record record;
        QVERIFY(record.open());
        const RecordWindow& page = record.page;
        QCOMPARE(record.window->windowTitle(), QString("KRLISTI - ACME TOOL CO"));
        QCOMPARE(page.texts({"Text2", "Text3", "Text4", "PPAP", "NJCCPAP", "STREET", "UserPhone",
                             "PHONE"}),
                 QStringList({"12,500", "102,384", "0", "Y", "N", "12 MILL RD", "609-555-0199",
                              "609-555-0100"}));
        QCOMPARE(page.notes()->toPlainText(), QString("Called in March"));
        QCOMPARE(page.dateAdded(), today());
        QVERIFY(page.box("PHONE")->isReadOnly() && !page.box("UserFax")->isReadOnly());
        QCOMPARE(
            page.texts({"SIC", "EMPLOYEES", "SALES", "Text1"}),
            QStringList({"3599 - Industrial Machinery, NEC", "20 - 49", "1MM - 4.9MM", "07/95"}));
        QCOMPARE(RecordWindow::column(page.classes(), 0) + RecordWindow::column(page.classes(), 2),
                 QStringList({"3632", "8810", "2.50", "0.12"}));
        QCOMPARE(RecordWindow::column(page.associates(), 0),
                 QStringList({"ACME TOOL CO", "ACME TOOL SALES"}));

        page.type("UserPhone", "");
        page.type("UserContact", "  Jane Roe  ");
        page.type("UserTitle", "Buyer");
        QCOMPARE(record.field("UserPhone"), Value());
        QCOMPARE(record.field("UserContact"), Value("Jane Roe"));
        // User fields 1 to 3 lose their blanks as the focus enters them.
        page.box("User3")->setText("  Springfield  ");
        RecordWindow::enter(page.box("User3"));
        QCOMPARE(page.text("User3"), QString("Springfield"));
        QCOMPARE(record.field("UserTitle"), Value("Buyer"));
        // The box being typed in when the window is closed with Escape is stored too.
        page.type("UserFax", "609-555-0142");
        QTest::keyClick(page.box("UserFax"), Qt::Key_Escape);
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.field("UserFax"), Value("609-555-0142"));
        QCOMPARE(record.field("User3"), Value("Springfield"));
        QVERIFY(record.data.messages().isEmpty());
        // Bands unknown or out of the tables show as such.
        QVERIFY(record.open("1000002"));
        QCOMPARE(page.texts({"SIC", "EMPLOYEES", "SALES", "Text1"}),
                 QStringList({"", "1000+", "Unknown", "/"}));
        QCOMPARE(RecordWindow::column(page.classes(), 0), QStringList());
    }

    void addressOverrideReplacesTheAddressOrSaysWhatIsMissing()
    {
        Record record;
        QVERIFY(record.open());
        const RecordWindow& page = record.page;
        page.type("User1", "!&");
        QCOMPARE(page.label("lblUser2") + '|' + page.label("lblUser3"),
                 QString("Street|City St Zip"));
        page.type("User2", "");
        RecordWindow::enter(page.box("User3"));
        QCOMPARE(record.window->focusWidget(), page.box("User2"));
        page.type("User2", "100 Main St");
        page.type("User3", "Springfield PA");
        record.leave();
        QCOMPARE(record.data.messageTexts(),
                 QStringList(
                     {"Missing Street Address", "Missing Zip Code, Format Must be City ST Zip"}));
        QCOMPARE(record.window->focusWidget(), page.box("User3"));
        QCOMPARE(record.field("CITY"), Value("TRENTON"));
        QCOMPARE(record.field("User3"), Value("Springfield PA"));

        page.type("User3", "Springfield PA 19064-1234");
        record.leave();
        for (const auto& [name, value] : {std::pair{"STREET", "100 Main St"},
                                          {"CITY", "Springfield"},
                                          {"ST", "PA"},
                                          {"ZIP", "19064"},
                                          {"ZIPEXT", "1234"}})
            QCOMPARE(record.field(name), Value(value));
        QCOMPARE(page.text("CITY"), QString("Springfield"));
        // Without an extension the old one is gone.
        page.type("User3", "Trenton NJ 08601");
        record.leave();
        QCOMPARE(record.field("CITY"), Value("Trenton"));
        QCOMPARE(record.field("ZIPEXT"), Value());
        // Removing the marker relabels at once and stops the copying.
        page.type("User1", "Prospect");
        page.type("User2", "200 Other Rd");
        record.leave();
        QCOMPARE(record.field("User2"), Value("200 Other Rd"));
        QCOMPARE(record.field("STREET"), Value("100 Main St"));
        QCOMPARE(record.data.messageTexts().size(), 2);
    }

    void notesGetADatedLineEachTimeInTheLocalesFormat()
    {
        Record record;
        QVERIFY(record.open());
        QPlainTextEdit* notes = record.page.notes();
        const QString dated = today() + " - ";
        QTest::mouseClick(notes->viewport(), Qt::LeftButton);
        QCOMPARE(notes->textCursor().position(), dated.size());
        QTest::keyClicks(notes, "sent quote");
        record.leave();
        RecordWindow::enter(notes);
        QCOMPARE(notes->toPlainText(), dated + "\n" + dated + "sent quote\nCalled in March");

        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Record german;
        QVERIFY(german.open());
        RecordWindow::enter(german.page.notes());
        QLocale::setDefault(QLocale::c());
        const QString date = QDate::currentDate().toString("dd.MM.yy");
        QCOMPARE(german.page.notes()->toPlainText(), date + " - \nCalled in March");
        QCOMPARE(german.page.dateAdded(), date);
    }

    void theNoteIsLockedWhileShownAndStoredOnLeaving_data()
    {
        QTest::addColumn<int>("leaving");
        QTest::newRow("Close") << 0;
        QTest::newRow("list closed") << 1;
        QTest::newRow("associate picked") << 2;
    }
    void theNoteIsLockedWhileShownAndStoredOnLeaving()
    {
        QFETCH(int, leaving);
        Record record;
        QVERIFY(record.open());
        record.page.notes()->setPlainText("left open");
        QVERIFY(!record.noteFree());
        if (leaving == 0) {
            record.page.close();
        } else if (leaving == 1) {
            record.data.list().close();
        } else {
            QTableView* associates = record.page.associates();
            QTest::mouseClick(associates->viewport(), Qt::LeftButton, {},
                              associates->visualRect(associates->model()->index(1, 0)).center());
            QCOMPARE(record.window->result(), int(QDialog::Accepted));
        }
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.data.note("1000001", "01"), Value("left open"));
        QVERIFY(record.noteFree());
    }

    void aLockedNoteClosesTheWindowAtOnce()
    {
        Record record;
        NoteLock other(record.data.db());
        QVERIFY(other.tryLock("1000001", "01"));
        record.window = std::make_unique<KRLISTI>(record.data.list(), "1000001", "01", "ACME");
        record.window->show();
        QCOMPARE(record.data.messageTexts(),
                 QStringList({"Another user is working with data which affects your notes.  "
                              "Try again later to view your information."}));
        QTRY_VERIFY(!record.window->isVisible());
        QCOMPARE(record.data.note("1000001", "01"), Value("Called in March"));
        // Once the other holder is done the window opens.
        other.unlock();
        QVERIFY(record.open());
        QCOMPARE(record.page.notes()->toPlainText(), QString("Called in March"));
    }
};

QTEST_MAIN(KRLISTITest)
#include "KRLISTITest.moc"
