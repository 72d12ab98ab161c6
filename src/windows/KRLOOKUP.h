#pragma once

#include "lookup/CodedValues.h"
#include "lookup/CriterionRules.h"
#include "lookup/SQLPARAMETER.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;

namespace kora {

class CodeDropDown;
class Database;
class LiveCountLabel;
class LookupTabs;
class PickListPanel;

// The lookup editor: a title and a list of criteria, each a field with a From
// and a Thru value, included or excluded. It opens on the result list's
// current lookup file of the tabs, or on a new lookup when there is none, and
// OK writes the lookup file and says so, so that the result list can show it.
class KRLOOKUP : public QDialog
{
    Q_OBJECT

public:
    // The pick lists read the state database; the lookup is the tabs' current file.
    KRLOOKUP(LookupTabs& tabs, Database& db, std::string state, QWidget* parent = nullptr);
    ~KRLOOKUP() override;

    const std::vector<SQLPARAMETER>& criteria() const { return m_criteria; }
    // The criteria grid's text of a criterion: column 0 the field, 1 the range,
    // 2 "Include" or "Exclude".
    QString OldStyleFetch(int Row, int Col) const;

    // Cancel: leaves without saving.
    void reject() override;

signals:
    // OK wrote the lookup file (a file name of the workspace folder).
    void saved(const QString& fileName, bool newLookup);
    // The editor was left without saving.
    void cancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void layOut(QPushButton* ok, QPushButton* cancel);
    void setUpKeyboard(QPushButton* ok, QPushButton* cancel);
    void activate();
    void chooseField(int position);
    bool fieldAvailable(int position);
    // Offers the values of a coded field in the range boxes' drop-downs.
    void offerCodes(int position);
    void focusFrom();
    // A code picked from the field's list goes into From or Thru.
    void pick(int position, const QString& code);
    void padZipCode();
    // What Accept makes of the range typed, a zip padded and a code in its own spelling.
    CriterionRules::Accepted typedCriterion() const;
    // Puts a criterion back in the boxes; Accept then returns it to its row.
    void editCriterion(int row);
    // Puts an accepted criterion in the row being edited, or after the others;
    // returns its row.
    int place(std::vector<SQLPARAMETER>& criteria, SQLPARAMETER criterion) const;
    bool addCriterion();
    void deleteCriterion();
    void save();
    void refreshCriteria(int currentRow);
    // Counts the lookup as it stands, with the range being typed when it is sound.
    void countLive();
    void tellInvalid(const QString& text);

    LookupTabs& m_tabs;
    Database& m_db;
    std::string m_state;
    std::vector<SQLPARAMETER> m_criteria;
    bool m_newLookup = true;
    int m_field = -1;                       // the field chosen last
    int m_editedRow = -1;                   // the criterion being edited again
    std::vector<CodedValues::Code> m_codes; // the chosen field's, when it is coded

    QLineEdit* m_title;    // SEARCHDESC
    QListWidget* m_fields; // List1
    QLineEdit* m_from;     // FROM
    QLineEdit* m_thru;     // THRU
    CodeDropDown* m_fromCodes;
    CodeDropDown* m_thruCodes;
    QLabel* m_thruLabel;
    QRadioButton* m_include; // SQLINCLUDE
    QRadioButton* m_exclude; // SQLEXCLUDE
    QPushButton* m_add;      // ADD
    QPushButton* m_delete;   // DELETE
    QLabel* m_hint;
    PickListPanel* m_pickList;
    QStandardItemModel* m_criteriaModel;
    QTableView* m_criteriaGrid; // TDBGrid3
    LiveCountLabel* m_count;
};

} // namespace kora
