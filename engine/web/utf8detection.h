#pragma once

class QIODevice;

namespace quirex::engine
{

// True when everything `device` yields from its current position is valid
// UTF-8 and holds at least one byte outside ASCII: a document without a
// declared character set that is meant as UTF-8 (text in any single-byte
// character set beyond ASCII is almost never valid UTF-8). Reads in blocks,
// stops at the first invalid sequence. False for an unreadable device.
bool isNonAsciiUtf8(QIODevice &device);

} // namespace quirex::engine
