#include "dialogunits.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

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

namespace
{

// The width the control's caption needs, or 0 for a control without one.
int captionWidth(const QWidget *control, Qt::Alignment *alignment)
{
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->wordWrap())
            return 0;
        const QFontMetrics metrics(label->font());
        int width = 0;
        for (const QString &line : label->text().split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        *alignment = label->alignment();
        return width + control->width() - label->contentsRect().width();
    }
    if (const auto *check = qobject_cast<const QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(check);
        *alignment = Qt::AlignLeft;
        return QFontMetrics(check->font()).horizontalAdvance(check->text()) +
               check->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, check) +
               check->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, check) + 2;
    }
    return 0;
}

} // namespace

void fitCaptions(QWidget *dialog, int margin)
{
    const QList<QGroupBox *> groups =
        dialog->findChildren<QGroupBox *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *control :
         dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        Qt::Alignment alignment = Qt::AlignLeft;
        const int needed = captionWidth(control, &alignment);
        QRect r = control->geometry();
        if (needed <= r.width())
            continue;
        QRect limits = dialog->rect().adjusted(margin, 0, -margin, 0);
        for (const QGroupBox *group : groups)
            if (group->geometry().contains(r))
                limits = group->geometry().adjusted(margin / 2, 0, -margin / 2, 0);
        const int missing = needed - r.width();
        if (alignment & Qt::AlignRight) {
            r.setLeft(std::max(limits.left(), r.left() - missing));
        } else if (alignment & Qt::AlignHCenter) {
            r.setLeft(std::max(limits.left(), r.left() - (missing + 1) / 2));
            r.setRight(std::min(limits.right(), r.right() + (missing + 1) / 2));
        } else {
            r.setRight(std::min(limits.right(), r.right() + missing));
            // Against the margin: the rest goes to the left, up to the
            // nearest control beside it.
            int left = std::max(limits.left(), r.left() - (needed - r.width()));
            for (const QWidget *other :
                 dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                const QRect o = other->geometry();
                if (other != control && !qobject_cast<const QGroupBox *>(other) &&
                    o.top() <= r.bottom() && o.bottom() >= r.top() && o.right() < r.left())
                    left = std::max(left, o.right() + 2);
            }
            r.setLeft(std::min(r.left(), left));
        }
        control->setGeometry(r);
    }
}

void place(QWidget *widget, const DialogUnits &units, int x, int y, int width, int height)
{
    widget->setGeometry(units.rect(x, y, width, height));
}

} // namespace quirex::app::ui
