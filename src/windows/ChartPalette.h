#pragma once

class QChart;
class QPalette;

namespace kora {

// Gives a chart the colours of the window it stands in, light or dark: its
// background, title, axis lines, grid and labels. The series keep their own.
void followPalette(QChart* chart, const QPalette& palette);

} // namespace kora
