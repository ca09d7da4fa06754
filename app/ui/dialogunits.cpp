#include "dialogunits.h"

#include <QFontMetrics>
#include <QWidget>

namespace quirex::app::ui
{

namespace
{

// Windows' MulDiv: a * b / c rounded to the nearest integer.
int mulDiv(int a, int b, int c)
{
    const qint64 product = qint64(a) * b;
    return int(product >= 0 ? (product + c / 2) / c : (product - c / 2) / c);
}

} // namespace

QFont dialogFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11); // 8 points at 96 dpi
    return font;
}

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = (alphabet / 26 + 1) / 2;
    m_baseHeight = metrics.height();
}

int DialogUnits::x(int units) const
{
    return mulDiv(units, m_baseWidth, 4);
}

int DialogUnits::y(int units) const
{
    return mulDiv(units, m_baseHeight, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    return QRect(x(left), y(top), x(width), y(height));
}

void place(QWidget *widget, const DialogUnits &units, int x, int y, int width, int height)
{
    widget->setGeometry(units.rect(x, y, width, height));
}

} // namespace quirex::app::ui
