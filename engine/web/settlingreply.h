#pragma once

#include <QNetworkReply>

namespace quirex::engine
{

// The ends shared by the replies the engine makes itself: a failure told the way the web
// engine listens for it, and a cancel.
class SettlingReply : public QNetworkReply
{
    Q_OBJECT

public:
    using QNetworkReply::QNetworkReply;

protected:
    // Emits `code` on the current signal and on the older one, which the web engine still
    // listens to.
    void emitFailure(NetworkError code);
    // Ends an unfinished reply as OperationCanceled.
    void cancel();
};

} // namespace quirex::engine
