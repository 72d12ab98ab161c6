#include "widgets/TypingToSearchBox.h"

#include "widgets/RowGrid.h"

#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

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
        QTest::addColumn<bool>("gridKeepsFocus");
        QTest::newRow("letter") << int(Qt::Key_M) << int(Qt::NoModifier) << "abm" << false;
        QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::NoModifier) << "ab7" << false;
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << "ab" << true;
        QTest::newRow("arrow") << int(Qt::Key_Down) << int(Qt::NoModifier) << "ab" << true;
        QTest::newRow("control") << int(Qt::Key_M) << int(Qt::ControlModifier) << "ab" << true;
        QTest::newRow("alt") << int(Qt::Key_M) << int(Qt::AltModifier) << "ab" << true;
    }

    void typedTextMovesToTheSearchBox()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, searched);
        QFETCH(bool, gridKeepsFocus);

        QWidget window;
        auto* box = new QLineEdit(QStringLiteral("ab"), &window);
        QStandardItemModel model(3, 1);
        QTableView* grid = makeRowGrid("Grid", &model, &window);
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
        // The text goes to the end of what the box held.
        QCOMPARE(box->text(), searched);
        QCOMPARE(grid->hasFocus(), gridKeepsFocus);
    }
};

} // namespace kora

QTEST_MAIN(kora::TypingToSearchBoxTest)
#include "TypingToSearchBoxTest.moc"
