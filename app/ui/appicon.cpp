#include "appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quirex::app::ui
{

namespace
{

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal fold = s * 0.25;
    QPainterPath page;
    page.moveTo(s * 0.15, s * 0.05);
    page.lineTo(s * 0.85 - fold, s * 0.05);
    page.lineTo(s * 0.85, s * 0.05 + fold);
    page.lineTo(s * 0.85, s * 0.95);
    page.lineTo(s * 0.15, s * 0.95);
    page.closeSubpath();
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), qMax(1.0, s / 32)));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.setBrush(QColor(0xd0, 0xd0, 0xd0));
    painter.drawPolygon(
        QPolygonF({QPointF(s * 0.85 - fold, s * 0.05), QPointF(s * 0.85 - fold, s * 0.05 + fold),
                   QPointF(s * 0.85, s * 0.05 + fold)}));
    const QRectF band(s * 0.05, s * 0.55, s * 0.7, s * 0.28);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc0, 0x20, 0x20));
    painter.drawRect(band);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(5, int(s * 0.22)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("PDF"));
    return pixmap;
}

} // namespace

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace quirex::app::ui
