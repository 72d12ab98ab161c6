#include "shell/StateOpening.h"

#include "database/Database.h"
#include "loading/UpdateRun.h"
#include "shell/TITLE.h"
#include "shell/WindowProgress.h"
#include "widgets/Dialogs.h"
#include "widgets/NormalCursor.h"

#include <QApplication>

namespace kora {

namespace {

QString lines(const std::vector<std::string>& texts)
{
    QStringList lines;
    for (const std::string& text : texts)
        lines << QString::fromStdString(text);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

StateOpening::Outcome StateOpening::open(QWidget* parent, const ProgramValues& values,
                                         TITLE* splash)
{
    try {
        Database db(values.stateDatabasePath(), values.stateConnect);
        if (UpdateRun::isPending(values.programFolder, values.state) &&
            Dialogs::ask(parent, Dialogs::defaultTitle(),
                         QString::fromUtf8(UpdateRun::kQuestion.data(),
                                           static_cast<int>(UpdateRun::kQuestion.size())),
                         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoIcon,
                         QMessageBox::Ok) == QMessageBox::Ok) {
            runUpdate(parent, db, values, splash);
            return Outcome::Updated;
        }
        const std::vector<std::string> unusable =
            UpdateRun::unusableFiles(values.programFolder, values.state);
        if (!unusable.empty())
            Dialogs::tell(parent, Dialogs::defaultTitle(), lines(unusable), QMessageBox::Warning);
    } catch (const DbError& error) {
        reportFailure(parent, values, error);
        return Outcome::Failed;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return Outcome::Opened;
}

void StateOpening::reportFailure(QWidget* parent, const ProgramValues& values, const DbError& error)
{
    Dialogs::tell(parent, Dialogs::defaultTitle(),
                  QStringLiteral("The state database %1 could not be opened: %2")
                      .arg(QString::fromStdString(values.stateDatabasePath()),
                           QString::fromStdString(error.what())),
                  QMessageBox::Critical);
}

void StateOpening::runUpdate(QWidget* parent, Database& db, const ProgramValues& values,
                             TITLE* splash)
{
    // The loads run with the splash in front, showing their progress.
    if (splash)
        splash->makeTopmost();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WindowProgress progress(parent, splash);
    try {
        const std::vector<std::string> notices =
            UpdateRun::run(db, values.programFolder, values.state, progress);
        if (!notices.empty()) {
            restoreNormalCursor();
            Dialogs::tell(parent, Dialogs::defaultTitle(),
                          QStringLiteral("The update is finished.\r\n") + lines(notices),
                          QMessageBox::Information);
        }
    } catch (const std::exception& failure) {
        restoreNormalCursor();
        if (splash)
            splash->hide();
        Dialogs::tell(parent, Dialogs::defaultTitle(),
                      QStringLiteral("The update did not finish. %1\r\nThe update files that "
                                     "were not loaded stay in the program folder; the update "
                                     "runs again at the next start.")
                          .arg(QString::fromStdString(failure.what())),
                      QMessageBox::Critical);
    }
    db.close();
    restoreNormalCursor();
}

} // namespace kora
