#include "widgets/CenterForm.h"

#include "base/FormPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kora {

namespace {

double twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

} // namespace

int twipsToPixels(int twips)
{
    return static_cast<int>(twips / twipsPerPixel() + 0.5);
}

int pixelsToTwips(int pixels)
{
    return static_cast<int>(pixels * twipsPerPixel() + 0.5);
}

void CENTERFORM(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    const FormPlacement placement =
        FormPlacement::centred(pixelsToTwips(area.width()), pixelsToTwips(area.height()),
                               pixelsToTwips(size.width()), pixelsToTwips(size.height()));
    window->move(area.left() + twipsToPixels(static_cast<int>(placement.left)),
                 area.top() + twipsToPixels(static_cast<int>(placement.top)));
}

void placeClearOf(QWidget* window, const QWidget* other)
{
    if (!other || !other->isVisible())
        return;
    const QRect covered = other->frameGeometry();
    QRect placed = window->frameGeometry();
    if (!placed.intersects(covered))
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : covered.united(placed);
    constexpr int kGap = 8;
    if (covered.bottom() + kGap + placed.height() <= area.bottom())
        placed.moveTop(covered.bottom() + kGap);
    else if (covered.top() - kGap - placed.height() >= area.top())
        placed.moveBottom(covered.top() - kGap);
    else
        placed.moveBottom(area.bottom());
    window->move(placed.topLeft());
}

} // namespace kora
