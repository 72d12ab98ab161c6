#include "shell/TITLE.h"

#include "widgets/CenterForm.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace kora {

namespace {

constexpr int kImageSize = 150;
constexpr int kTitleWidth = 330;

} // namespace

QPixmap TITLE::logo(qreal pixelRatio)
{
    // Drawn for the screen's pixels, so that it stays sharp on a scaled screen.
    QPixmap pixmap(QSize(kImageSize, kImageSize) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, kImageSize);
    shade.setColorAt(0, QColor(52, 120, 190));
    shade.setColorAt(1, QColor(24, 62, 110));
    p.setBrush(shade);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(6, 6, kImageSize - 12, kImageSize - 12), 22, 22);
    // A rising line of mods over a grid of employer records.
    p.setPen(QPen(QColor(255, 255, 255, 70), 2));
    for (int y = 40; y < kImageSize - 20; y += 22)
        p.drawLine(22, y, kImageSize - 22, y);
    QPainterPath trend;
    trend.moveTo(24, 110);
    trend.lineTo(54, 88);
    trend.lineTo(80, 98);
    trend.lineTo(122, 42);
    p.setPen(QPen(QColor(246, 200, 95), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trend);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(64);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(14, 70, 80, 70), Qt::AlignCenter, QStringLiteral("K"));
    return pixmap;
}

TITLE::TITLE(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_panel(new QFrame(this)),
      m_image(new QLabel(m_panel)), m_title(new QLabel(QStringLiteral("Kora"), m_panel)),
      m_label2(new QLabel(QStringLiteral("Workers' Compensation Prospecting"), m_panel)),
      m_label3(
          new QLabel(QStringLiteral("Experience mods, classes and contacts by state"), m_panel)),
      m_label4(new QLabel(m_panel)), m_status(new QLabel(m_panel))
{
    setObjectName(QStringLiteral("TITLE"));
    m_panel->setObjectName(QStringLiteral("SSPanel1"));
    m_image->setObjectName(QStringLiteral("Image1"));
    m_title->setObjectName(QStringLiteral("Label1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_status->setObjectName(QStringLiteral("lblStatus"));

    m_panel->setFrameShape(QFrame::Panel);
    m_panel->setFrameShadow(QFrame::Raised);
    m_panel->setLineWidth(2);
    m_panel->setAutoFillBackground(true);
    m_panel->setBackgroundRole(QPalette::Base);

    m_image->setPixmap(logo(devicePixelRatioF()));
    m_image->setFixedSize(kImageSize, kImageSize);
    QFont titleFont = m_title->font();
    titleFont.setPixelSize(56);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    QFont subtitleFont = m_label2->font();
    subtitleFont.setPixelSize(15);
    subtitleFont.setBold(true);
    m_label2->setFont(subtitleFont);
    m_status->setWordWrap(true);

    // The window is sized from its picture and its title, as the original design was.
    const int margin = twipsToPixels(500);
    const int width = kTitleWidth + kImageSize + twipsToPixels(1000);
    const int height = kImageSize + twipsToPixels(800);
    setFixedSize(width, height);
    m_panel->setGeometry(rect());
    m_image->move(margin / 2, (height - kImageSize) / 2);
    const int textLeft = margin / 2 + kImageSize + margin / 2;
    m_title->setGeometry(textLeft, 14, kTitleWidth, 64);
    m_label2->setGeometry(textLeft, 80, kTitleWidth, 20);
    m_label3->setGeometry(textLeft, 102, kTitleWidth, 20);
    m_label4->setGeometry(textLeft, 124, kTitleWidth, 20);
    m_status->setGeometry(textLeft, 150, kTitleWidth, height - 160);
}

void TITLE::setVersion(const QString& version)
{
    m_label4->setText(version);
}

void TITLE::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

void TITLE::status(const std::string& text)
{
    setStatus(QString::fromStdString(text));
    // Paint only: a click during a load must not start other work inside it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TITLE::makeTopmost()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
    repaint();
}

} // namespace kora
