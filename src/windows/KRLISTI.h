#pragma once

#include "database/Value.h"

#include <QDialog>
#include <QPointer>

#include <string>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kora {

class AssociatesBox;
class DatedNotesEdit;
class FollowUpBox;
class RecordWindowHost;
class CompanyRecord;
class ModChart;
class RatingClassesBox;
class CompanyRow;

// The company record window: one employer of the open state database in full,
// where the user types the user fields and the notes. It reads and writes the
// employer row through the result list's database, holds the company's note
// locked while it is open and stores the note however it is closed.
class KRLISTI : public QDialog
{
    Q_OBJECT

public:
    // The window is modal and fills itself when it is first shown.
    KRLISTI(RecordWindowHost& list, const QString& file, const QString& sequence,
            const QString& name1);
    ~KRLISTI() override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* deliveredBox(const char* name, const char* field);
    QLineEdit* readOnlyBox(const char* name);
    QLineEdit* userBox(const char* name);
    QWidget* buildCompany();
    QWidget* buildContact();
    QWidget* buildUserFields();
    QWidget* buildAssignedRisk();
    QWidget* buildNotes();

    void fill();
    void fillCompany();
    CompanyRecord record() const;
    void showDelivered(const CompanyRow& prime);
    bool addressOverride() const;
    void relabel();
    void storeUserField(QLineEdit* box, bool interactive);
    bool storeFields(const std::vector<std::pair<std::string, Value>>& fields);
    void sendBack(QLineEdit* box, const QString& message);
    void pickAssociate(const QString& file, const QString& sequence);
    // Stores the field being typed and the note, and releases the note's lock;
    // a failure to store is told in a message box or, from the destructor, logged.
    void finish(bool tellFailure = true);

    RecordWindowHost* m_list;
    // Set to null when the list is destroyed.
    QPointer<QWidget> m_listWidget;
    QString m_file;
    QString m_sequence;
    bool m_shown = false;
    // The window shows the company and holds its note: user fields and the
    // note are stored from now until the window closes.
    bool m_open = false;
    bool m_returningFocus = false;

    // Boxes that show a PRIME field as stored, refreshed after every store.
    std::vector<std::pair<QLineEdit*, std::string>> m_delivered;
    // The user-field boxes, each named after its PRIME field.
    std::vector<QLineEdit*> m_userBoxes;
    QLineEdit* m_sic = nullptr;
    QLineEdit* m_employees = nullptr;
    QLineEdit* m_sales = nullptr;
    QLineEdit* m_text1 = nullptr; // the New Jersey assigned-risk date; New Jersey only
    QLineEdit* m_user1 = nullptr;
    QLineEdit* m_user2 = nullptr;
    QLineEdit* m_user3 = nullptr;
    QLabel* m_lblUser2 = nullptr;
    QLabel* m_lblUser3 = nullptr;
    RatingClassesBox* m_classes = nullptr;
    AssociatesBox* m_associates = nullptr;
    DatedNotesEdit* m_notes = nullptr; // NOTES
    FollowUpBox* m_followUp = nullptr;
    ModChart* m_modChart = nullptr;
};

} // namespace kora
