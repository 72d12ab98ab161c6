#pragma once

#include "safekeeping/NotesSafekeeping.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kora {

class WindowHost;

// The backup window: backs up, restores or merges the user's notes and fields
// of the current state, with the backup file in the program folder or, when
// Check1 is ticked, copied to or read from a folder the user chooses.
class KRNOTES : public QDialog
{
    Q_OBJECT

public:
    explicit KRNOTES(WindowHost& host, QWidget* parent = nullptr);

    NotesSafekeeping::Operation operation() const;
    // The folder chosen for the backup file; empty until one is chosen.
    QString folder() const;
    // OK: runs the chosen operation; the window closes when it is done and
    // stays for another try when it was declined or failed.
    void ok();

signals:
    // A restore or merge wrote the user's notes and fields into the state database.
    void userDataRestored();

private:
    // Sets the captions after the option and shows the folder only while
    // Check1 is ticked.
    void applyCaptions();
    void check1Toggled(bool ticked);
    // The folder chooser; false when the user left it without a folder.
    bool chooseFolder();

    WindowHost& m_host;
    QRadioButton* m_Option1;
    QRadioButton* m_Option2;
    QRadioButton* m_Option3;
    QCheckBox* m_Check1;
    QLabel* m_Label1;
    QLineEdit* m_Dir1;
    QPushButton* m_chooseFolder;
};

} // namespace kora
