#include "shell/KoraApplication.h"

#include "database/DbError.h"
#include "widgets/Dialogs.h"
#include "widgets/NormalCursor.h"

#include <QMetaMethod>

#include <exception>

namespace kora {

KoraApplication::KoraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString KoraApplication::failureMessage(const char* reason)
{
    return QStringLiteral("The command could not be completed: %1").arg(QString::fromUtf8(reason));
}

bool KoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        restoreNormalCursor();
        const auto* error = dynamic_cast<const DbError*>(&failure);
        if (error && error->kind() == DbError::Kind::Disconnected &&
            isSignalConnected(QMetaMethod::fromSignal(&KoraApplication::databaseDisconnected))) {
            emit databaseDisconnected(failureMessage(failure.what()));
            return false;
        }
        Dialogs::tell(activeWindow(), Dialogs::defaultTitle(), failureMessage(failure.what()),
                      QMessageBox::Critical);
    }
    return false;
}

} // namespace kora
