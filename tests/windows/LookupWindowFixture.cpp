#include "LookupWindowFixture.h"

#include "database/Database.h"
#include "database/Installation.h"
#include "lookup/LookupFile.h"
#include "shell/KRWSPACE.h"
#include "windows/KRLIST.h"
#include "windows/KRLOOKUP.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kora::test {

namespace {

struct Company
{
    const char* file;
    const char* name;
    const char* county;
    const char* zip;
    const char* sic;
    double mod;
};

const Company kCompanies[] = {
    {"1000001", "Allen Roofing", "09", "18901", "1761", 1.25},
    {"1000002", "Baker Paving", "09", "18940", "1611", 0.90},
    {"1000003", "Carter Homes", "15", "19380", "1521", 1.40},
    {"1000004", "Dover Foods", "09", "19007", "2011", 1.10},
    {"1000005", "Easton Steel", "48", "18042", "3312", 0.80},
    {"1000006", "Greene Construction", "09", "18966", "1542", 1.30},
    {"1000007", "Harbor Bakery", "51", "00019", "2051", 1.05},
};

} // namespace

std::unique_ptr<KRLOOKUP> LookupWindowFixture::showEditor(const std::string& file)
{
    list().SetCurSQLFile(true);
    list().lookupTabs().setCurrentFile(file);
    auto editor = std::make_unique<KRLOOKUP>(list().lookupTabs(), list().database(),
                                             list().state().toStdString(), &m_master);
    QObject::connect(editor.get(), &KRLOOKUP::saved, &list(), &KRLIST::showSavedLookup);
    QObject::connect(editor.get(), &KRLOOKUP::cancelled, &list(), &KRLIST::SETTABS);
    editor->show();
    if (!QTest::qWaitForWindowActive(editor.get()))
        qFatal("the lookup editor did not become active");
    return editor;
}

LookupWindowFixture::LookupWindowFixture(const std::string& state)
{
    {
        Database db(m_fixture.programFolder() + "KORA" + state + ".MDB",
                    Installation(m_fixture.programFolder()).stateConnect(state));
        for (const Company& company : kCompanies) {
            db.prepare("INSERT INTO PRIME (STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, ZIP, "
                       "COUNTY, SIC, MOD, Omit) VALUES (?, ?, '01', ?, ?, ?, ?, ?, ?, ?, ' ')")
                .bindAll({state, company.file, std::string(company.file) + "01", company.name,
                          company.name, company.zip, company.county, company.sic, company.mod})
                .run();
        }
        db.execute(
            "INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' FROM PRIME");
        db.execute("INSERT INTO COUNTY (CODE, COUNTY) VALUES ('01', 'Adams'), ('02', "
                   "'Allegheny'), ('09', 'Bucks'), ('15', 'Chester'), ('46', 'Montgomery'), "
                   "('48', 'Northampton'), ('51', 'Philadelphia')");
        db.execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1500', 'General Building "
                   "Contractors'), ('1521', 'Single-Family Houses'), ('1611', 'Highway and "
                   "Street Construction'), ('1700', 'Construction Special Trade'), ('1761', "
                   "'Roofing and Siding'), ('2000', 'Food and Kindred Products'), ('2011', 'Meat "
                   "Packing Plants'), ('2051', 'Bread and Bakery Products'), ('3312', 'Steel "
                   "Works')");
        db.execute("INSERT INTO CLASSLIST (CLASS, DESC) VALUES ('5551', 'Roofing'), ('5645', "
                   "'Carpentry'), ('2003', 'Bakery')");
    }
    m_fixture.onModal<KRWSPACE>([state](KRWSPACE* window) {
        auto* states = window->findChild<QComboBox*>("STATE");
        states->setCurrentIndex(states->findText(QString::fromStdString(state)));
        window->findChild<QPushButton*>("OK")->click();
    });
    if (!m_master.start())
        throw std::runtime_error("the main window did not start");
}

std::string LookupWindowFixture::workspaceFile(const std::string& name) const
{
    return m_fixture.programFolder() + "INITIAL/" + name;
}

bool LookupWindowFixture::exists(const std::string& name) const
{
    return std::filesystem::exists(workspaceFile(name));
}

std::string LookupWindowFixture::bytes(const std::string& name) const
{
    std::ifstream in(workspaceFile(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void LookupWindowFixture::writeLookup(const std::string& name, const std::string& title,
                                      const SQLPARAMETER& criterion) const
{
    if (!LookupFile::write(workspaceFile(name), title, {criterion}))
        throw std::runtime_error("cannot write " + name);
}

} // namespace kora::test
