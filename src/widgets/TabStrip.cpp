#include "widgets/TabStrip.h"

#include <QShortcut>
#include <QSignalBlocker>

namespace kora {

namespace {

// The widest a tab grows, in average character widths.
constexpr int kWidestTab = 32;

} // namespace

TabStrip::TabStrip(QWidget* scope, QWidget* parent) : QTabBar(parent)
{
    setExpanding(false);
    setDrawBase(true);
    setElideMode(Qt::ElideMiddle);
    setUsesScrollButtons(true);
    addKeys(scope);
}

void TabStrip::setCaptions(const std::vector<QString>& captions)
{
    const QSignalBlocker quiet(this);
    const int wanted = 1 + static_cast<int>(captions.size());
    while (count() > wanted)
        removeTab(count() - 1);
    while (count() < wanted)
        addTab(QString());
    for (int tab = 1; tab < wanted; ++tab) {
        setTabText(tab, captions[static_cast<size_t>(tab - 1)]);
        setTabToolTip(tab, captions[static_cast<size_t>(tab - 1)]);
    }
}

QSize TabStrip::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * kWidestTab));
    return size;
}

QSize TabStrip::minimumTabSizeHint(int index) const
{
    // Tabs keep their width and the strip scrolls, rather than every caption
    // shrinking to a few letters.
    return tabSizeHint(index);
}

void TabStrip::addKeys(QWidget* scope)
{
    auto key = [this, scope](QKeyCombination combination, auto action) {
        auto* shortcut = new QShortcut(QKeySequence(combination), scope);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(Qt::CTRL | Qt::Key_Tab, [this] { step(1); });
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, [this] { step(-1); });
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, [this] { step(-1); });
    for (int tab = 0; tab <= 9; ++tab)
        key(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + tab), [this, tab] {
            if (tab < count())
                setCurrentIndex(tab);
        });
}

void TabStrip::step(int by)
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + by + count()) % count());
}

} // namespace kora
