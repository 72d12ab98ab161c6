#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kora {

class WindowHost;

// "Print Manual": prints the user's manual MANUAL.TXT of the program folder
// on the printer, line by line.
class KRMANUAL : public QDialog
{
    Q_OBJECT

public:
    explicit KRMANUAL(WindowHost& host);

    static QString missingManualMessage(const QString& path);

private:
    void OK_Click();

    WindowHost& m_host;
    QLabel* m_label2; // Label2
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kora
