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

private slots:
    void namesEveryCommandAndLinksEachSection()
    {
        WindowFixture fixture;
        MASTER master;
        HelpWindow::showContents(&master, QString::fromStdString(fixture.programFolder()));
        auto* browser = master.findChild<HelpWindow*>()->findChild<QTextBrowser*>();
        const QString text = browser->toPlainText().simplified();
        QStringList names;
        for (QAction* menu : master.menuBar()->actions())
            for (QAction* command : menu->menu()->actions())
                names << QString(command->text()).remove('&');
        for (QAction* button : master.findChild<QToolBar*>()->actions())
            names << button->toolTip();
        // The criteria beyond the classic eighteen, and the list's own buttons.
        names += QStringList({"Renews Within (days)", "Mod Change", "Years Mod Over 1.00",
                              "Changed in Last Update", "More Info...", "Print Record",
                              "Export Record", "Exclude", "Full Address"});
        for (const QString& name : names)
            QVERIFY2(text.contains(name), qPrintable(name));

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
