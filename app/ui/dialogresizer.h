#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace quirex::app::ui
{

// Keeps child controls anchored while their dialog is resized: each control
// keeps its start-up geometry and follows the change of the dialog's size by
// moving and/or growing, as the dialog's template says.
class DialogResizer final
{
public:
    enum Anchor : unsigned {
        Fixed = 0,
        MoveX = 1,
        MoveY = 2,
        SizeX = 4,
        SizeY = 8,
    };

    // Records `control` at its current geometry with `anchors` (Anchor bits).
    void add(QWidget *control, unsigned anchors);

    // Takes the dialog's current size as the start-up size, against which
    // later sizes are measured.
    void setStartSize(const QSize &size) { m_startSize = size; }
    QSize startSize() const { return m_startSize; }

    // Lays every recorded control out for the dialog size `size`. Sizes below
    // the start-up size are treated as the start-up size.
    void resize(const QSize &size) const;

private:
    struct Entry {
        QWidget *control;
        QRect start;
        unsigned anchors;
    };
    std::vector<Entry> m_entries;
    QSize m_startSize;
};

} // namespace quirex::app::ui
