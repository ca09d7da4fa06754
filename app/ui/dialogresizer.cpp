#include "dialogresizer.h"

#include <QWidget>

#include <algorithm>

namespace quirex::app::ui
{

void DialogResizer::add(QWidget *control, unsigned anchors)
{
    m_entries.push_back({control, control->geometry(), anchors});
}

void DialogResizer::resize(const QSize &size) const
{
    const int dx = std::max(0, size.width() - m_startSize.width());
    const int dy = std::max(0, size.height() - m_startSize.height());
    for (const Entry &entry : m_entries) {
        QRect r = entry.start;
        if (entry.anchors & MoveX)
            r.translate(dx, 0);
        if (entry.anchors & MoveY)
            r.translate(0, dy);
        if (entry.anchors & SizeX)
            r.setWidth(r.width() + dx);
        if (entry.anchors & SizeY)
            r.setHeight(r.height() + dy);
        entry.control->setGeometry(r);
    }
}

} // namespace quirex::app::ui
