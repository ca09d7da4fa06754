#pragma once

#include <QComboBox>

namespace quirex::app::ui
{

// The drop-down lists of the settings dialog: plain combo boxes, kept as a
// class of their own so that the dialog's lists can gain behaviour in one place.
class CMyComboBox final : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

} // namespace quirex::app::ui
