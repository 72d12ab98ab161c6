// kora: the desktop program. It takes no arguments.

#include "base/Folders.h"
#include "shell/KoraApplication.h"
#include "shell/MASTER.h"
#include "shell/TITLE.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"

#include <QDir>
#include <QIcon>

#include <csignal>
#include <exception>

int main(int argc, char** argv)
{
    // A write past the file size limit of the process fails with EFBIG and is
    // told like any other failed write, instead of ending the program unheard.
    std::signal(SIGXFSZ, SIG_IGN);
    kora::KoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORA"));
    QApplication::setApplicationVersion(kora::MASTER::programVersion());
    QApplication::setWindowIcon(QIcon(kora::TITLE::logo()));

    // The program's own folder holds its databases, files and workspaces.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    kora::Folders::shareWithGroup(QCoreApplication::applicationDirPath().toStdString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    kora::TITLE splash;
    kora::CENTERFORM(&splash);
    splash.show();
    splash.repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    kora::MASTER master(&splash);
    try {
        if (!master.start())
            return 0;
    } catch (const std::exception& failure) {
        splash.hide();
        kora::Dialogs::tell(nullptr, kora::Dialogs::defaultTitle(),
                            kora::KoraApplication::failureMessage(failure.what()),
                            QMessageBox::Critical);
        return 1;
    }
    return app.exec();
}
