#pragma once

#include <QApplication>

namespace kora {

// The program's application object. A failure that escapes a command (a
// database that stops answering, a file that cannot be read) is reported in a
// message box and the program goes on, instead of ending without a word.
class KoraApplication : public QApplication
{
    Q_OBJECT

public:
    KoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
    // The message shown for a failure that escaped a command.
    static QString failureMessage(const char* reason);

signals:
    // A failure that escaped a command lost the connection to the database's
    // server: the windows working on it are of no further use. The receiver
    // tells the message; without one it is told like any other failure.
    void databaseDisconnected(const QString& message);
};

} // namespace kora
