#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace kora {

// Shows the hourglass for as long as it lives; the pointer it replaced comes
// back when it goes, also when the work it guards throws.
class HourglassGuard
{
public:
    HourglassGuard() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourglassGuard() { QGuiApplication::restoreOverrideCursor(); }
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;
};

} // namespace kora
