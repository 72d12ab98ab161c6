#include "output/ManualPrint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <fstream>

namespace kora {

namespace {

QString expandedTabs(const QString& line)
{
    QString out;
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            out += QString(8 - out.size() % 8, QLatin1Char(' '));
        else
            out += c;
    }
    return out;
}

// The pieces of a line that fit the width, broken after a blank where one
// is near enough, otherwise at the last character that fits.
QStringList fitted(const QString& line, const QFontMetricsF& metrics, double width)
{
    QStringList pieces;
    QString rest = line;
    while (metrics.horizontalAdvance(rest) > width && rest.size() > 1) {
        qsizetype fits = 1;
        while (fits < rest.size() && metrics.horizontalAdvance(rest.left(fits + 1)) <= width)
            ++fits;
        const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), fits - 1);
        const qsizetype cut = blank > fits / 2 ? blank + 1 : fits;
        pieces << rest.left(cut);
        rest = rest.mid(cut);
    }
    pieces << rest;
    return pieces;
}

} // namespace

std::optional<std::vector<std::string>> ManualPrint::readLines(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (file.bad())
        return std::nullopt;
    return lines;
}

int ManualPrint::print(const std::vector<std::string>& lines, QPagedPaintDevice& device)
{
    const int dpi = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    // Painter coordinates start at the printable area's corner; keep the
    // text a fixed distance from the paper's edges whatever the printer's margins.
    const double margin = kMarginInches * dpi;
    const double left = std::max(0.0, margin - paint.left());
    const double top = std::max(0.0, margin - paint.top());
    const double right = std::min<double>(paint.width(), full.width() - margin - paint.left());
    const double bottom = std::min<double>(paint.height(), full.height() - margin - paint.top());

    QPainter painter(&device);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(10);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    int pages = 1;
    double y = top;
    for (const std::string& line : lines) {
        for (const QString& piece :
             fitted(expandedTabs(QString::fromStdString(line)), metrics, right - left)) {
            if (y + metrics.height() > bottom && y > top) {
                device.newPage();
                ++pages;
                y = top;
            }
            painter.drawText(QPointF(left, y + metrics.ascent()), piece);
            y += metrics.lineSpacing();
        }
    }
    painter.end();
    return pages;
}

} // namespace kora
