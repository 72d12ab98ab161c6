#include "windows/KRLISTI.h"

#include "ResultsFixture.h"
#include "results/NoteLock.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace kora;
using namespace kora::test;

namespace {

const QString kHeldMessage = "Another user is working with data which affects your notes.  "
                             "Try again later to view your information.";

// The tests run under the C locale, which has no date format of its own.
QString today()
{
    return QDate::currentDate().toString("MM/dd/yy");
}

QStringList column(QTableView* grid, int index)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, index).data().toString();
    return texts;
}

// An NJ database with a company of two sequences (ACME), one of another file,
// and the record window opened on one of them.
struct Record
{
    ResultsFixture data{"NJ"};
    std::unique_ptr<KRLISTI> window;

    Record()
    {
        data.db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES "
                          "('3599', 'Industrial Machinery, NEC')");
        data.db().execute("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, "
                          "LOSSCOST) VALUES ('1000001', '01', '100000101', '8810', "
                          "'Clerical Office Employees', 0.12), ('1000001', '01', '100000101', "
                          "'3632', 'Machine Shop NOC', 2.5), ('1000001', '02', '100000102', "
                          "'8742', 'Salespersons', 0.3)");
        data.addCompany("1000001", "01",
                        {{"NAME1", "ACME TOOL CO"},
                         {"NAME2", " "},
                         {"STREET", "12 MILL RD"},
                         {"CITY", "TRENTON"},
                         {"ST", "NJ"},
                         {"ZIP", "08601"},
                         {"ZIPEXT", " "},
                         {"PHONE", "609-555-0100"},
                         {"CONTACT", "JOHN DOE"},
                         {"SIC", "3599"},
                         {"EMPLOYEES", "4"},
                         {"SALES", "2"},
                         {"NJAR", 9507.0},
                         {"ARESTPREM", "0012500"},
                         {"ARTOTPREM", "0102384"},
                         {"ARTOTLOSS", "0000000"},
                         {"NJPPAP", "Y"},
                         {"NJCCPAP", "N"},
                         {"User1", " "},
                         {"User2", " "},
                         {"User3", " "},
                         {"UserPhone", "609-555-0199"}},
                        "Called in March");
        data.addCompany("1000001", "02",
                        {{"NAME1", "ACME TOOL SALES"},
                         {"SIC", "1234"},
                         {"EMPLOYEES", "X"},
                         {"SALES", "9"},
                         {"NJAR", 312.0}});
        data.addCompany("1000002", "01",
                        {{"NAME1", "OTHER WORKS"}, {"EMPLOYEES", "9"}, {"SALES", "0"}});
    }

    bool open(const char* file, const char* sequence, const char* name1)
    {
        window = std::make_unique<KRLISTI>(data.list(), file, sequence, name1);
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    QLineEdit* box(const char* name) { return window->findChild<QLineEdit*>(name); }
    QString label(const char* name) { return window->findChild<QLabel*>(name)->text(); }
    QPlainTextEdit* notes() { return window->findChild<QPlainTextEdit*>("NOTES"); }
    QTableView* grid(const char* name) { return window->findChild<QTableView*>(name); }
    // Moves the focus as a click would, and types over the box's text.
    void enter(QWidget* widget) { widget->setFocus(Qt::MouseFocusReason); }
    void type(const char* name, const QString& text)
    {
        enter(box(name));
        box(name)->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box(name), Qt::Key_Delete);
        else
            QTest::keyClicks(box(name), text);
    }
    Value field(const char* name) { return data.field("1000001", "01", name); }
};

} // namespace

class KRLISTITest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void notesAreDatedInTheLocalesShortFormat()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.enter(record.notes());
        QLocale::setDefault(QLocale::c());
        const QString german = QDate::currentDate().toString("dd.MM.yy");
        QCOMPARE(record.notes()->toPlainText(), german + " - \nCalled in March");
        QCOMPARE(record.window->findChild<QLabel*>("lblToday")->text(), german);
    }

    void showsTheCompanyInFull()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        KRLISTI& window = *record.window;
        QCOMPARE(window.windowTitle(), QString("KRLISTI - ACME TOOL CO"));
        QCOMPARE(record.box("SIC")->text(), QString("3599 - Industrial Machinery, NEC"));
        QCOMPARE(record.box("EMPLOYEES")->text(), QString("20 - 49"));
        QCOMPARE(record.box("SALES")->text(), QString("1MM - 4.9MM"));
        QCOMPARE(record.box("Text1")->text(), QString("07/95"));
        // Amounts show without their leading zeros, grouped; the stored digits stay.
        QCOMPARE(record.box("Text2")->text(), QString("12,500"));
        QCOMPARE(record.box("Text3")->text(), QString("102,384"));
        QCOMPARE(record.box("Text4")->text(), QString("0"));
        QCOMPARE(record.field("ARTOTPREM").toString(), std::string("0102384"));
        // The label over the notes shows the date an entry begun now receives.
        auto* dateAdded = record.window->findChild<QLabel*>("lblToday");
        QVERIFY(dateAdded->isVisible());
        QCOMPARE(dateAdded->text(), today());
        QCOMPARE(record.box("PPAP")->text(), QString("Y"));
        QCOMPARE(record.box("NJCCPAP")->text(), QString("N"));
        QCOMPARE(record.box("STREET")->text(), QString("12 MILL RD"));
        QCOMPARE(record.box("UserPhone")->text(), QString("609-555-0199"));
        QCOMPARE(record.box("PHONE")->text(), QString("609-555-0100"));
        QCOMPARE(record.notes()->toPlainText(), QString("Called in March"));
        for (const char* delivered : {"SIC", "EMPLOYEES", "SALES", "Text1", "Text2", "PPAP",
                                      "NAME1", "STREET", "CITY", "ZIP", "PHONE"})
            QVERIFY2(record.box(delivered)->isReadOnly(), delivered);
        for (const char* user :
             {"User1", "User2", "User3", "UserContact", "UserTitle", "UserPhone", "UserFax"})
            QVERIFY2(!record.box(user)->isReadOnly(), user);

        QTableView* classes = record.grid("TDBGrid7");
        QStringList headers;
        for (int i = 0; i < 3; ++i)
            headers << classes->model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Code", "Class Description", "L. C."}));
        QCOMPARE(column(classes, 0), QStringList({"3632", "8810"}));
        QCOMPARE(column(classes, 1),
                 QStringList({"Machine Shop NOC", "Clerical Office Employees"}));
        QCOMPARE(column(classes, 2), QStringList({"2.50", "0.12"}));
        QCOMPARE(column(record.grid("TDBGrid8"), 0),
                 QStringList({"ACME TOOL CO", "ACME TOOL SALES"}));

        QStringList labels;
        for (QLabel* label : window.findChildren<QLabel*>())
            labels << label->text();
        for (const char* text :
             {"Date Added", "Sales", "Notes:", "Estimated Premium", "Date", "Assigned Risk",
              "New Jersey", "PPAP", "NJCCPAP", "User Contact", "User Title", "User Phone",
              "User Fax", "User Field 1", "User Field 2", "User Field 3"})
            QVERIFY2(labels.contains(text), text);
        QVERIFY(record.data.messages().isEmpty());
    }

    void bandsSicAndAssignedRiskDateOfOtherCompanies()
    {
        Record record;
        QVERIFY(record.open("1000001", "02", "ACME TOOL SALES"));
        QCOMPARE(record.box("SIC")->text(), QString("1234"));
        QCOMPARE(record.box("EMPLOYEES")->text(), QString());
        QCOMPARE(record.box("SALES")->text(), QString("1 Billion +"));
        QCOMPARE(record.box("Text1")->text(), QString("12/03"));
        QCOMPARE(column(record.grid("TDBGrid7"), 0), QStringList({"8742"}));
        record.window->findChild<QPushButton*>("Command1")->click();

        QVERIFY(record.open("1000002", "01", "OTHER WORKS"));
        QCOMPARE(record.box("EMPLOYEES")->text(), QString("1000+"));
        QCOMPARE(record.box("SALES")->text(), QString("Unknown"));
        QCOMPARE(record.box("Text1")->text(), QString("/"));
        QCOMPARE(column(record.grid("TDBGrid8"), 0), QStringList({"OTHER WORKS"}));

        // A company gone from PRIME leaves the boxes empty.
        record.window.reset();
        record.data.db().execute("DELETE FROM PRIME WHERE FILE = '1000002'");
        QVERIFY(record.open("1000002", "01", "OTHER WORKS"));
        QCOMPARE(record.box("EMPLOYEES")->text(), QString());
        QCOMPARE(record.box("NAME1")->text(), QString());
        QVERIFY(record.window->isVisible());
    }

    void addressOverrideReplacesTheAddress()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.type("User1", "!&");
        QCOMPARE(record.label("lblUser2"), QString("Street"));
        QCOMPARE(record.label("lblUser3"), QString("City St Zip"));
        record.type("User2", "100 Main St");
        record.type("User3", "Springfield PA 19064-1234");
        record.enter(record.box("UserFax"));

        QCOMPARE(record.field("User1"), Value("!&"));
        QCOMPARE(record.field("User2"), Value("100 Main St"));
        QCOMPARE(record.field("User3"), Value("Springfield PA 19064-1234"));
        QCOMPARE(record.field("STREET"), Value("100 Main St"));
        QCOMPARE(record.field("CITY"), Value("Springfield"));
        QCOMPARE(record.field("ST"), Value("PA"));
        QCOMPARE(record.field("ZIP"), Value("19064"));
        QCOMPARE(record.field("ZIPEXT"), Value("1234"));
        QCOMPARE(record.box("CITY")->text(), QString("Springfield"));
        QVERIFY(record.data.messages().isEmpty());

        // Without an extension the old one is gone.
        record.type("User3", "Trenton NJ 08601");
        record.enter(record.box("UserFax"));
        QCOMPARE(record.field("CITY"), Value("Trenton"));
        QCOMPARE(record.field("ZIPEXT"), Value());

        // Removing the marker relabels at once and stops the copying.
        record.type("User1", "Prospect");
        QCOMPARE(record.label("lblUser2"), QString("User Field 2"));
        QCOMPARE(record.label("lblUser3"), QString("User Field 3"));
        record.type("User2", "200 Other Rd");
        record.type("User3", "Camden");
        record.enter(record.box("UserFax"));
        QCOMPARE(record.field("User2"), Value("200 Other Rd"));
        QCOMPARE(record.field("User3"), Value("Camden"));
        QCOMPARE(record.field("STREET"), Value("100 Main St"));
        QCOMPARE(record.field("CITY"), Value("Trenton"));
        QVERIFY(record.data.messages().isEmpty());
    }

    void incompleteAddressIsRefusedWithItsMessage()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.type("User1", "!&");
        record.type("User2", "");
        record.enter(record.box("User3"));
        QCOMPARE(record.data.messageTexts(), QStringList({"Missing Street Address"}));
        QCOMPARE(record.window->focusWidget(), record.box("User2"));
        QCOMPARE(record.field("STREET"), Value("12 MILL RD"));
        record.type("User2", "100 Main St");

        const struct
        {
            const char* text;
            const char* message;
        } cases[] = {{"", "Missing City, Format Must be City ST Zip"},
                     {"Springfield", "Missing State, Format Must be City ST Zip"},
                     {"PA 19064", "Missing State, Format Must be City ST Zip"},
                     {"Springfield PA", "Missing Zip Code, Format Must be City ST Zip"}};
        for (const auto& [text, message] : cases) {
            record.type("User3", text);
            record.enter(record.box("UserFax"));
            QCOMPARE(record.data.messageTexts().last(), QString(message));
            QCOMPARE(record.window->focusWidget(), record.box("User3"));
        }
        QCOMPARE(record.data.messageTexts().size(), 5);
        QCOMPARE(record.field("CITY"), Value("TRENTON"));
        QCOMPARE(record.field("ZIP"), Value("08601"));
        // The user field itself is kept as typed.
        QCOMPARE(record.field("User3"), Value("Springfield PA"));
    }

    void userFieldsAreStoredTrimmedOrCleared()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.type("UserPhone", "");
        record.type("UserContact", "  Jane Roe  ");
        record.type("UserTitle", "Buyer");
        QCOMPARE(record.field("UserPhone"), Value());
        QCOMPARE(record.field("UserContact"), Value("Jane Roe"));

        // User fields 1 to 3 lose their blanks as the focus enters them.
        record.box("User3")->setText("  Springfield  ");
        record.enter(record.box("User3"));
        QCOMPARE(record.box("User3")->text(), QString("Springfield"));
        QCOMPARE(record.field("UserTitle"), Value("Buyer"));

        // The box being typed in when the window is closed with Escape is stored too.
        record.type("UserFax", "609-555-0142");
        QTest::keyClick(record.box("UserFax"), Qt::Key_Escape);
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.field("UserFax"), Value("609-555-0142"));
        QCOMPARE(record.field("User3"), Value("Springfield"));
        QVERIFY(record.data.messages().isEmpty());
    }

    void notesGetADatedLineEachTimeAndAreStoredOnClose()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        const QString first = today() + " - ";
        record.enter(record.notes());
        QCOMPARE(record.notes()->toPlainText(), first + "\nCalled in March");
        QCOMPARE(record.notes()->textCursor().position(), first.size());
        QTest::keyClicks(record.notes(), "sent quote");
        record.enter(record.box("UserFax"));
        record.enter(record.notes());
        QCOMPARE(record.notes()->toPlainText(),
                 first + "\n" + first + "sent quote\nCalled in March");
        QCOMPARE(record.notes()->textCursor().position(), first.size());

        // The note stays locked for everyone else while the window is open.
        NoteLock other(record.data.databasePath());
        QVERIFY(!other.tryLock("1000001", "01"));
        record.window->findChild<QPushButton*>("Command1")->click();
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.data.note("1000001", "01"),
                 Value((first + "\n" + first + "sent quote\nCalled in March").toStdString()));
        QVERIFY(other.tryLock("1000001", "01"));
    }

    void aClickIntoTheNotesTypesOnTheDatedLine()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        QPlainTextEdit* notes = record.notes();
        // A click below the old text, which would put the cursor after it.
        const QPoint belowText(10, notes->viewport()->height() - 5);
        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, belowText);
        QCOMPARE(notes->textCursor().position(), (today() + " - ").size());
        QTest::keyClicks(notes, "sent quote");
        QCOMPARE(notes->toPlainText(), today() + " - sent quote\nCalled in March");

        // Once in the box, a click places the cursor as usual.
        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, belowText);
        QCOMPARE(notes->textCursor().position(), notes->toPlainText().size());
        QCOMPARE(notes->toPlainText().count(today()), 1);
    }

    void lockedNoteClosesTheWindowAtOnce()
    {
        Record record;
        NoteLock other(record.data.databasePath());
        QVERIFY(other.tryLock("1000001", "01"));
        record.window = std::make_unique<KRLISTI>(record.data.list(), "1000001", "01", "ACME");
        record.window->show();
        QCOMPARE(record.data.messageTexts(), QStringList({kHeldMessage}));
        QTRY_VERIFY(!record.window->isVisible());
        QCOMPARE(record.data.note("1000001", "01"), Value("Called in March"));
        QCOMPARE(record.field("UserPhone"), Value("609-555-0199"));

        // Once the other holder is done the window opens.
        other.unlock();
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        QCOMPARE(record.notes()->toPlainText(), QString("Called in March"));
        QCOMPARE(record.data.messages().size(), 1);
    }

    void closingTheListStoresTheNote()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.notes()->setPlainText("left open");
        record.data.list().close();
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.data.note("1000001", "01"), Value("left open"));
        NoteLock other(record.data.databasePath());
        QVERIFY(other.tryLock("1000001", "01"));
    }

    void pickingAnAssociatedCompanyClosesTheWindow()
    {
        Record record;
        QVERIFY(record.open("1000001", "01", "ACME TOOL CO"));
        record.notes()->setPlainText("before the pick");
        QTableView* associates = record.grid("TDBGrid8");
        const QModelIndex sales = associates->model()->index(1, 0);
        QTest::mouseClick(associates->viewport(), Qt::LeftButton, {},
                          associates->visualRect(sales).center());
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.window->result(), int(QDialog::Accepted));
        QCOMPARE(record.data.note("1000001", "01"), Value("before the pick"));
        NoteLock other(record.data.databasePath());
        QVERIFY(other.tryLock("1000001", "01"));
    }
};

QTEST_MAIN(KRLISTITest)
#include "KRLISTITest.moc"
