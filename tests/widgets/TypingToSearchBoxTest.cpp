#include "widgets/TypingToSearchBox.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

namespace kora {

class TypingToSearchBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void typedTextMovesToTheSearchBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("searched");
        QTest::newRow("letter") << int(Qt::Key_M) << int(Qt::NoModifier) << "abm";
        QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::NoModifier) << "ab7";
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << "ab";
        QTest::newRow("control") << int(Qt::Key_M) << int(Qt::ControlModifier) << "ab";
        QTest::newRow("alt") << int(Qt::Key_M) << int(Qt::AltModifier) << "ab";
    }
    void typedTextMovesToTheSearchBox()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, searched);
        QWidget window;
        auto* grid = new QTableView(&window);
        auto* box = new QLineEdit(QStringLiteral("ab"), &window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(box);
        (new TypingToSearchBox(box))->watch(grid);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        grid->setFocus();
        box->setCursorPosition(0);
        QTest::keyClick(grid, static_cast<Qt::Key>(key),
                        static_cast<Qt::KeyboardModifiers>(modifiers));
        // The text goes to the end of what the box held, and the focus with it.
        QCOMPARE(box->text(), searched);
        QCOMPARE(box->hasFocus(), searched != "ab");
    }
};

} // namespace kora

QTEST_MAIN(kora::TypingToSearchBoxTest)
#include "TypingToSearchBoxTest.moc"
