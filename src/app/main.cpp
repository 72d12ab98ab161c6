// kora: the desktop program. It takes no arguments.

#include "shell/CenterForm.h"
#include "shell/MASTER.h"
#include "shell/TITLE.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORA"));
    QApplication::setApplicationVersion(kora::MASTER::programVersion());
    QApplication::setWindowIcon(QIcon(kora::TITLE::logo()));

    // The program's own folder holds its databases, files and workspaces.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    kora::TITLE splash;
    kora::CENTERFORM(&splash);
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    kora::MASTER master(&splash);
    if (!master.start())
        return 0;
    return app.exec();
}
