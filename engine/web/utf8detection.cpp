#include "utf8detection.h"

#include <QIODevice>
#include <QTextCodec>

#include <memory>

namespace quirex::engine
{

bool isNonAsciiUtf8(QIODevice &device)
{
    if (!device.isReadable())
        return false;
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    if (codec == nullptr)
        return false;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    constexpr qint64 kBlock = 64 * 1024;
    bool nonAscii = false;
    for (;;) {
        const QByteArray block = device.read(kBlock);
        if (block.isEmpty())
            break;
        if (!nonAscii) {
            for (const char byte : block) {
                if (static_cast<unsigned char>(byte) >= 0x80) {
                    nonAscii = true;
                    break;
                }
            }
        }
        // Only blocks past the first non-ASCII byte need decoding, but the
        // decoder carries a sequence cut at a block's end into the next.
        if (nonAscii) {
            codec->toUnicode(block.constData(), block.size(), &state);
            if (state.invalidChars > 0)
                return false;
        }
    }
    return nonAscii && state.remainingChars == 0;
}

} // namespace quirex::engine
