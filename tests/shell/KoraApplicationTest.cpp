#include "shell/KoraApplication.h"
#include "widgets/Dialogs.h"

#include <QPushButton>
#include <QtTest>

#include <stdexcept>

using namespace kora;

class KoraApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void aFailureEscapingACommandIsReportedAndTheProgramGoesOn()
    {
        QList<Dialogs::Request> messages;
        Dialogs::setScript([&messages](const Dialogs::Request& request) {
            messages.append(request);
            return QMessageBox::Ok;
        });
        QPushButton button(QStringLiteral("Run"));
        connect(&button, &QPushButton::clicked,
                [] { throw std::runtime_error("the state database is locked"); });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        Dialogs::setScript({});
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1].text, QString("The command could not be completed: the state "
                                           "database is locked"));
        QCOMPARE(messages[1].icon, QMessageBox::Critical);
    }
};

int main(int argc, char** argv)
{
    KoraApplication app(argc, argv);
    KoraApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "KoraApplicationTest.moc"
