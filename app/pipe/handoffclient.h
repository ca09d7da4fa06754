#pragma once

#include <QString>

namespace quirex::app
{

// Hands `text` to the running quirexdesk as one message on its hand-off socket (encoded by
// encodeHandOffMessage), then disconnects; nothing comes back. `socketPath` empty: the user's
// hand-off socket. Waits at most `timeoutMs` for the server to take the connection.
//
// Returns 0 when the message was sent, else the errno of the failure: ENOENT or ECONNREFUSED
// when no server runs, EMSGSIZE for a text longer than 4096 characters (never sent).
int sendHandOff(const QString &text, const QString &socketPath = QString(), int timeoutMs = 5000);

} // namespace quirex::app
