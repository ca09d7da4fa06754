// libFuzzer entry point for the command-line parsers. The bytes are read three
// ways: as one command line for the tokenizer, as arguments (one per line) for
// mode selection and options, and as a list file. Whatever they hold, each
// parser ends with a result that keeps its promises.
#include "commandline.h"
#include "commandlinetokens.h"
#include "encodingtable.h"
#include "listfile.h"
#include "papertable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::app;

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

void checkCommandLine(const QStringList &arguments)
{
    const CommandLine line = parseCommandLine(arguments);
    if (line.mode == CommandMode::Wrong)
        return;
    const ConversionSettings &s = line.options.settings;
    require(s.Encoding >= 0 && s.Encoding < EncodingCount);
    require((s.PaperSize >= 0 && s.PaperSize < PaperSizeCount) || s.PaperSize == CustomPaperSize);
    for (int margin : {s.MarginLeft, s.MarginRight, s.MarginTop, s.MarginBottom})
        require(margin >= 0 && margin <= 999);
    require(s.Zoom == 0 || (s.Zoom >= 2 && s.Zoom <= 20000));
    require(s.JpegQuality >= 0 && s.JpegQuality <= 100);
    require(s.PageNumberAlign >= 0 && s.PageNumberAlign <= 2);
    require(s.Orientation == 0 || s.Orientation == 1);
    require(line.shard.index >= 1 && line.shard.index <= line.shard.count);
    if (!line.shard.isWhole())
        require(line.mode == CommandMode::FileMask || line.mode == CommandMode::ListToDir ||
                line.mode == CommandMode::ListToList || line.mode == CommandMode::ListToOne);
    if (line.mode == CommandMode::Url)
        require(completeUrl(line.source) == line.source);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString text = QString::fromUtf8(bytes);

    const QStringList tokens = tokenizeCommandLine(text);
    for (const QString &token : tokens) {
        require(!token.isEmpty());
        if (!token.startsWith(QLatin1Char('"')))
            for (QChar c : token)
                require(!isBlank(c));
    }
    checkCommandLine(tokens);
    checkCommandLine(text.split(QLatin1Char('\n')));

    QStringList paths;
    if (parseListText(bytes, &paths)) {
        require(!bytes.contains('\0'));
        for (const QString &path : paths)
            require(!path.isEmpty() && !path.front().isSpace() && !path.back().isSpace());
    }
    return 0;
}
