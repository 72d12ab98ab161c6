#pragma once

#include <QDialog>

class QTextBrowser;

namespace kora {

// The program's help, KORA.HLP in the program folder, opened at its contents.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    // Shows the help beside the given window (one help window per owner);
    // a missing help file is reported by name.
    static void showContents(QWidget* owner, const QString& programFolder);

private:
    HelpWindow(QWidget* owner, const QString& html);

    QTextBrowser* m_browser;
};

} // namespace kora
