#pragma once

#include <QByteArray>
#include <QString>

namespace quirex::app
{

// The hand-off socket's name, the same for every user; it lives in the user's runtime folder.
inline constexpr char kHandOffSocketName[] = "99073F34DF414861970DC35690876B7E";

// The longest message the server accepts: 8192 bytes, 4096 UTF-16 characters.
inline constexpr int kHandOffMaxBytes = 8192;

// The most characters the main window receives of one message.
inline constexpr int kHandOffWindowChars = 2047;

// The socket's path: the name in the runtime folder (platform/pipe). Empty when that folder is
// unusable; *error then holds errno.
QString handOffSocketPath(int *error = nullptr);

// The text of one received message: its bytes read as UTF-16LE, ending at the first NUL
// character or after the last complete character, whichever comes first (an odd last byte is
// dropped). Code units are kept as they are, unpaired surrogates included. Never fails.
QString decodeHandOffMessage(const QByteArray &bytes);

// The text stored in the registry for a received text: double quotes removed at its end, then at
// its start.
QString handOffRegistryText(const QString &text);

// The message a client sends for `text`: its UTF-16LE code units without a terminating NUL.
// An empty text is sent as one NUL character, because an empty message cannot be told apart
// from a client that hung up.
QByteArray encodeHandOffMessage(const QString &text);

} // namespace quirex::app
