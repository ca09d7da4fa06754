#include "handoffclient.h"

#include "handoffmessage.h"
#include "localsocket.h"

#include <cerrno>

namespace quirex::app
{

int sendHandOff(const QString &text, const QString &socketPath, int timeoutMs)
{
    const QByteArray message = encodeHandOffMessage(text);
    if (message.size() > kHandOffMaxBytes)
        return EMSGSIZE;
    int error = 0;
    const QString path = socketPath.isEmpty() ? handOffSocketPath(&error) : socketPath;
    if (path.isEmpty())
        return error;
    const platform::FileDescriptor socket = platform::connectSeqPacket(path, timeoutMs, &error);
    if (!socket.isValid())
        return error;
    if (!platform::sendMessage(socket.get(), message, &error))
        return error;
    return 0;
}

} // namespace quirex::app
