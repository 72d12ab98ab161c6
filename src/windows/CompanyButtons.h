#pragma once

#include <QWidget>

#include <string>

class QKeySequence;
class QPushButton;

namespace kora {

class CompanyRow;
class WindowHost;

// The result list's buttons for the selected company. Full Address, Print
// Record and Export Record are carried out here; More Info..., the Omit mark
// and Breakdown... are reported to the list, which owns what they change.
class CompanyButtons : public QWidget
{
    Q_OBJECT

public:
    CompanyButtons(WindowHost& host, const std::string& state, QWidget* parent);

    // Enables the buttons for a company; the mark only on a lookup tab.
    void showCompany(const CompanyRow& row, bool onLookupTab);
    // No company selected: every company button disabled.
    void clear();
    void setMarkCaption(const QString& caption);

signals:
    void moreInfoClicked();
    void markClicked();
    void breakdownClicked();
    void followUpClicked();

private:
    QPushButton* addButton(const QString& caption, const char* name, int row, int column);
    // A key for the button, told in its tooltip after what it does.
    static void giveKey(QPushButton* button, const QKeySequence& key, const QString& what);
    void openFullAddress();
    void printRecord();
    void exportRecord();

    WindowHost& m_host;
    bool m_newYork;
    std::string m_file;
    std::string m_sequence;
    std::string m_name;
    QPushButton* m_moreInfo;     // Command1
    QPushButton* m_fullAddress;  // FULLADDR
    QPushButton* m_printRecord;  // PRINTCUR
    QPushButton* m_exportRecord; // EXPORTCUR
    QPushButton* m_mark;         // MarkIt
    QPushButton* m_followUp;
};

} // namespace kora
