#pragma once

#include <QString>

#include <functional>

namespace quirex::platform
{
struct PeerCredentials;
}

namespace quirex::app
{

// The message callback: receives the text of one message; its result is ignored.
using PipeMessageCallback = std::function<int(const QString &text)>;

// How the server thread serves; the defaults are the program's.
struct PipeServerOptions {
    // Empty: handOffSocketPath().
    QString socketPath;
    // Decides whether a connected peer may hand a message over. Empty: only processes of our own
    // user id. Tests inject a check here because they cannot change user.
    std::function<bool(const platform::PeerCredentials &)> acceptPeer;
    // A client that has not sent its message within this time is dropped.
    int readTimeoutMs = 5000;
};

// The server thread's parameter.
struct PipeThreadParam {
    // The stop event's descriptor (platform::StopEvent): readable once stop is signalled. -1 when
    // it could not be created; stopEventError then holds the reason.
    int stopEvent = -1;
    int stopEventError = 0;
    PipeMessageCallback callback;
    PipeServerOptions options;
};

// The server thread routine. Listens on the hand-off socket and serves one client at a time: a
// client of another user id is dropped, its message (at most 8192 bytes, decoded by
// decodeHandOffMessage) is passed to the callback, and the client is disconnected; nothing is
// sent back. Returns 0 when the stop event is signalled, at once also when the server is
// blocked waiting for a client or for a client's message.
//
// When another live server holds the socket, the routine returns 0 without serving and without
// a diagnostic: that server keeps it. Every failure of a system call is written to stderr as a
// diagnostic record (module "pipe_srv"); a failing client is dropped and the next one served;
// a failure to create the socket or to wait ends the routine.
int pipeServerThreadProc(const PipeThreadParam &param);

} // namespace quirex::app
