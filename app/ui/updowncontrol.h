#pragma once

#include <QWidget>

class QToolButton;

namespace quirex::app::ui
{

// A pair of arrow buttons beside an edit box, with a position and a range but
// no buddy: the owning dialog couples it to its edit box. A click on an arrow
// or the Up/Down key asks to move by +1/-1 through deltaRequested(position,
// delta); the owner decides the new value and sets the position.
class UpDownControl final : public QWidget
{
    Q_OBJECT
public:
    explicit UpDownControl(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    void setPosition(int position) { m_position = position; }
    int position() const { return m_position; }

    // Acts as a click on the up (+1) or down (-1) arrow.
    void stepBy(int delta);

signals:
    void deltaRequested(int position, int delta);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace quirex::app::ui
