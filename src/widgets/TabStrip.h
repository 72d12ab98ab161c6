#pragma once

#include <QTabBar>

#include <vector>

namespace kora {

// A tab strip that keeps every tab within reach: a long caption is shortened
// in its middle on screen (the tab's text and tool tip keep it whole), the
// scroll arrows move along whenever tabs lie out of view, and the keyboard
// reaches each tab: Ctrl+Tab and Ctrl+Shift+Tab step through them, Ctrl+0 to
// Ctrl+9 choose a tab by its number.
class TabStrip : public QTabBar
{
    Q_OBJECT

public:
    // The keys work while the focus is anywhere within scope.
    TabStrip(QWidget* scope, QWidget* parent);

    // Tab 0 keeps its caption; the tabs after it are made to hold these
    // captions, one tab each, and tabs beyond them are removed, so that the
    // strip never holds hidden tabs. Selection signals are not sent.
    void setCaptions(const std::vector<QString>& captions);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    void addKeys(QWidget* scope);
    void step(int by);
};

} // namespace kora
