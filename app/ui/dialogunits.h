#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace quirex::app::ui
{

// The font of every dialog: the 8 point sans-serif dialog fonts of the
// templates map to Liberation Sans (metric-compatible with what the layouts
// were measured with), sized in pixels as at 96 dpi so that the windows look
// the same whatever the screen's resolution.
QFont dialogFont();

// Converts dialog units to pixels the way the dialog manager does: a
// horizontal unit is a quarter of the font's average character width (the
// width of "A".."Z" and "a".."z", halved from 26 and rounded), a vertical unit
// an eighth of the font's height; products are rounded to the nearest pixel.
class DialogUnits final
{
public:
    explicit DialogUnits(const QFont &font);

    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};

// Puts `widget` at the template's place: dialog units x, y, width, height.
void place(QWidget *widget, const DialogUnits &units, int x, int y, int width, int height);

// Widens every label and check box of `dialog` whose caption is wider than
// the control at its font (translated texts can be longer than the texts the
// layout was made for): right-aligned labels grow to the left, centred ones
// both ways, the others to the right, never beyond the group box they lie in
// or the dialog's margin (`margin` pixels); a left-aligned control that
// meets the margin takes the rest to its left, up to the control beside it.
void fitCaptions(QWidget *dialog, int margin);

} // namespace quirex::app::ui
