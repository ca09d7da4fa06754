// libFuzzer entry point for quirexpdf's command line: the bytes are the
// arguments, one per line. Whatever they hold, the parser ends with a result
// that keeps its promises: a wrong line names why, a converting line has
// inputs, an output and settings the engine accepts.
#include "encodingtable.h"
#include "papertable.h"
#include "pdfcommandline.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const PdfCommandLine line = parsePdfCommandLine(text.split(QLatin1Char('\n')));
    double mm = 0;
    if (parseLength(text, &mm))
        require(mm >= 0 && mm <= 1e6);
    if (line.mode == PdfCommandMode::Wrong) {
        require(!line.error.isEmpty());
        return 0;
    }
    if (line.mode != PdfCommandMode::Convert)
        return 0;
    require(!line.inputs.isEmpty() && !line.output.isEmpty());
    require(line.inputs.count(QStringLiteral("-")) <= 1);
    const ConversionSettings &s = line.options.settings;
    require(s.Encoding >= 0 && s.Encoding < EncodingCount);
    require((s.PaperSize >= 0 && s.PaperSize < PaperSizeCount) || s.PaperSize == CustomPaperSize);
    for (int margin : {s.MarginLeft, s.MarginRight, s.MarginTop, s.MarginBottom})
        require(margin >= 0);
    require(s.Zoom >= 10 && s.Zoom <= 1000);
    require(line.options.outlineDepth >= 0);
    require(line.options.javascriptDelayMs >= 0 && line.options.javascriptDelayMs <= 600000);
    return 0;
}
