#include "shell/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace kora {

namespace {

const QColor kInk(31, 78, 121);
const QColor kPaper(255, 255, 255);
const QColor kAccent(214, 126, 33);
const QColor kGreen(56, 142, 60);
const QColor kRed(192, 57, 43);

// A sheet of paper with a folded corner, in a 48 x 48 drawing.
void drawSheet(QPainter& p, const QRectF& r)
{
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - 8, r.top());
    sheet.lineTo(r.right(), r.top() + 8);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(r.right() - 8, r.top()), QPointF(r.right() - 8, r.top() + 8));
    p.drawLine(QPointF(r.right() - 8, r.top() + 8), QPointF(r.right(), r.top() + 8));
}

void drawLines(QPainter& p, qreal left, qreal top, qreal width, int count)
{
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 6), QPointF(left + width, top + i * 6));
}

void drawMagnifier(QPainter& p, const QPointF& centre)
{
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(centre, 7, 7);
    QPen handle(kAccent, 4, Qt::SolidLine, Qt::RoundCap);
    p.setPen(handle);
    p.drawLine(centre + QPointF(5, 5), centre + QPointF(11, 11));
}

void drawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& colour)
{
    p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF normal(-direction.y(), direction.x());
    QPolygonF head;
    head << to + direction * 4 << to - direction * 5 + normal * 6
         << to - direction * 5 - normal * 6;
    p.setBrush(colour);
    p.setPen(QPen(colour, 1));
    p.drawPolygon(head);
}

void draw(QPainter& p, int index)
{
    QPen ink(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(ink);
    switch (index) {
    case 0: // New Lookup: a new sheet with a magnifier
        drawSheet(p, QRectF(8, 5, 26, 34));
        drawLines(p, 13, 15, 14, 3);
        drawMagnifier(p, QPointF(31, 31));
        break;
    case 1: // Edit/Delete Lookup: a sheet with a pencil
        drawSheet(p, QRectF(8, 5, 26, 34));
        drawLines(p, 13, 15, 14, 4);
        p.setPen(QPen(kAccent, 5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(23, 41), QPointF(40, 20));
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(21, 44), QPointF(23, 41));
        break;
    case 2: { // Backup/Restore Data: a diskette
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(8, 7, 32, 34), 3, 3);
        p.setBrush(kPaper);
        p.drawRect(QRectF(14, 7, 20, 11));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(13, 25, 22, 16));
        p.setPen(QPen(kInk, 1.5));
        drawLines(p, 16, 30, 16, 2);
        break;
    }
    case 3: // Change Workspace/State: a folder with a turning arrow
        p.setBrush(QColor(246, 200, 95));
        p.drawRoundedRect(QRectF(5, 12, 38, 28), 2, 2);
        p.drawLine(QPointF(5, 16), QPointF(5, 10));
        p.drawLine(QPointF(5, 10), QPointF(18, 10));
        p.drawLine(QPointF(18, 10), QPointF(21, 13));
        drawArrow(p, QPointF(15, 27), QPointF(31, 27), kInk);
        break;
    case 4: // Print Lookup: a printer
        drawSheet(p, QRectF(14, 4, 20, 14));
        p.setPen(ink);
        p.setBrush(QColor(210, 220, 232));
        p.drawRoundedRect(QRectF(6, 17, 36, 17), 3, 3);
        p.setBrush(kPaper);
        p.drawRect(QRectF(13, 28, 22, 14));
        p.setPen(QPen(kInk, 1.5));
        drawLines(p, 16, 33, 16, 2);
        p.setBrush(kGreen);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(36, 22), 2, 2);
        break;
    case 5: // Export Lookup: a sheet with an arrow leaving it
        drawSheet(p, QRectF(6, 5, 26, 36));
        drawLines(p, 11, 15, 14, 4);
        drawArrow(p, QPointF(22, 30), QPointF(39, 30), kGreen);
        break;
    case 6: // Print Manual: an open book
        p.setBrush(kPaper);
        p.drawPolygon(QPolygonF({QPointF(24, 12), QPointF(6, 8), QPointF(6, 38), QPointF(24, 41)}));
        p.drawPolygon(
            QPolygonF({QPointF(24, 12), QPointF(42, 8), QPointF(42, 38), QPointF(24, 41)}));
        p.setPen(QPen(kInk, 1.5));
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(10, 17 + i * 6), QPointF(20, 19 + i * 6));
            p.drawLine(QPointF(28, 19 + i * 6), QPointF(38, 17 + i * 6));
        }
        break;
    case 7: { // Update: two turning arrows
        QPen arc(kGreen, 4, Qt::SolidLine, Qt::RoundCap);
        p.setPen(arc);
        p.setBrush(Qt::NoBrush);
        const QRectF circle(9, 9, 30, 30);
        p.drawArc(circle, 30 * 16, 130 * 16);
        p.drawArc(circle, 210 * 16, 130 * 16);
        p.setBrush(kGreen);
        p.setPen(QPen(kGreen, 1));
        p.drawPolygon(QPolygonF({QPointF(8, 18), QPointF(16, 25), QPointF(4, 27)}));
        p.drawPolygon(QPolygonF({QPointF(40, 30), QPointF(32, 23), QPointF(44, 21)}));
        break;
    }
    case 8: { // Help: a question mark in a circle
        p.setBrush(QColor(52, 120, 190));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(6, 6, 36, 36));
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(26);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(6, 6, 36, 36), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case 9: // Exit Kora: a door with an arrow out
        p.setBrush(QColor(160, 110, 70));
        p.drawRect(QRectF(8, 6, 20, 36));
        p.setBrush(kAccent);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(23, 25), 2, 2);
        drawArrow(p, QPointF(26, 24), QPointF(40, 24), kRed);
        break;
    default:
        break;
    }
}

} // namespace

QIcon ToolbarIcons::icon(int index)
{
    QIcon icon;
    for (int size : {24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 48.0, size / 48.0);
        draw(painter, index);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace kora
