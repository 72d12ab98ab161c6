#pragma once

#include "ResultList.h"
#include "lookup/SQLPARAMETER.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace kora {
class KRLOOKUP;
} // namespace kora

namespace kora::test {

// A program folder whose state database holds a few builders and food firms
// with their counties, classes and SIC codes, and the main window started on
// it with the result list showing the INITIAL workspace.
class LookupWindowFixture
{
public:
    explicit LookupWindowFixture(const std::string& state = "PA");

    WindowFixture& fixture() { return m_fixture; }
    QStringList messages() const { return m_fixture.messageTexts(); }
    MASTER& master() { return m_master; }
    KRLIST& list() { return *m_master.resultList(); }
    ResultList page() { return {&list()}; }
    QTabBar* tabs() { return page().tabs(); }
    // Companies of the tab shown, in the grid's order.
    QStringList names() { return page().column(); }
    // The editor shown on a lookup file, or on a new lookup, the list following
    // what it saves as it does from the main window.
    std::unique_ptr<KRLOOKUP> showEditor(const std::string& file = "");

    std::string workspaceFile(const std::string& name) const;
    bool exists(const std::string& name) const;
    std::string bytes(const std::string& name) const;
    // Writes a lookup file of one criterion (its SQLDESC left empty) under a title.
    void writeLookup(const std::string& name, const std::string& title,
                     const SQLPARAMETER& criterion) const;

private:
    WindowFixture m_fixture;
    MASTER m_master;
};

} // namespace kora::test
