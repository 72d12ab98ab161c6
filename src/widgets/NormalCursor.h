#pragma once

#include <QGuiApplication>

namespace kora {

// Sets the mouse pointer back to normal, however many hourglasses long work
// (and the work it called) put up.
inline void restoreNormalCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace kora
