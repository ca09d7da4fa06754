#pragma once

class QString;

namespace quirex::app
{

// What the main window implements to receive handed-off texts. The window must be a QObject;
// it is attached with HandOffCallback::setReceiver.
class HandOffReceiver
{
public:
    virtual ~HandOffReceiver() = default;

    // Called on the window's thread, while the server thread waits for it to return, with the
    // received text as it came (quotes kept), cut to at most 2047 characters. Runs inside nested
    // event loops too (a conversion's progress pump, a message box): keep it short, and do not
    // start work that the window cannot take now.
    virtual void receiveHandOff(const QString &text) = 0;
};

} // namespace quirex::app
