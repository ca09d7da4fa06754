#pragma once

#include <QPushButton>

namespace quirex::app::ui
{

// The settings dialog's OK button: a plain push button, kept as a class of its
// own so that the button can gain behaviour in one place.
class CMyButton final : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

} // namespace quirex::app::ui
