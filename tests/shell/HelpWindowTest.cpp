#include "shell/HelpWindow.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

using namespace kora;
using namespace kora::test;

// The help installed in the program folder, read as the help window shows it.
class HelpWindowTest : public QObject
{
    Q_OBJECT

private:
    static QTextBrowser* openHelp(MASTER& master, const WindowFixture& fixture)
    {
        HelpWindow::showContents(&master, QString::fromStdString(fixture.programFolder()));
        auto* window = master.findChild<HelpWindow*>();
        return window ? window->findChild<QTextBrowser*>() : nullptr;
    }

private slots:
    void namesEveryMenuCommandAndToolbarButton()
    {
        WindowFixture fixture;
        MASTER master;
        QTextBrowser* browser = openHelp(master, fixture);
        QVERIFY(browser);
        const QString text = browser->toPlainText().simplified();
        for (QAction* menu : master.menuBar()->actions())
            for (QAction* command : menu->menu()->actions()) {
                if (command->isSeparator())
                    continue;
                const QString caption = QString(command->text()).remove('&');
                QVERIFY2(text.contains(caption), qPrintable(caption));
            }
        for (QAction* button : master.findChild<QToolBar*>("SSRibbon1")->actions())
            QVERIFY2(text.contains(button->toolTip()), qPrintable(button->toolTip()));
        // The criteria beyond the classic eighteen, and the list's own buttons.
        for (const char* words :
             {"Renews Within (days)", "Mod Change", "Years Mod Over 1.00", "Changed in Last Update",
              "More Info...", "Print Record", "Export Record", "Exclude", "Full Address"})
            QVERIFY2(text.contains(QLatin1String(words)), words);
    }

    void everyLinkLeadsToItsSection()
    {
        WindowFixture fixture;
        MASTER master;
        QTextBrowser* browser = openHelp(master, fixture);
        QVERIFY(browser);
        const QString html = browser->document()->toHtml();
        const QRegularExpression link(QStringLiteral("href=\"#([a-z]+)\""));
        int links = 0;
        for (auto match = link.globalMatch(html); match.hasNext(); ++links) {
            const QString anchor = match.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(anchor));
        }
        QVERIFY(links >= 12);
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
