#pragma once

#include <QString>

namespace quirex::app::ui
{

// The largest margin or zoom value the settings dialog accepts.
constexpr int MaxSettingNumber = 999;

// What the settings dialog makes of the text of a number box.
struct NumberExchange {
    int value = 0;          // the value the field takes
    bool corrected = false; // the text was not a number in 0..999: the box
                            // must show `value` and get the focus
};

// Reads `text` as a signed decimal integer (blanks around it allowed). Not a
// number: 0, corrected. Below 0: 0, corrected. Above 999: 999, corrected.
NumberExchange exchangeNumber(const QString &text);

} // namespace quirex::app::ui
