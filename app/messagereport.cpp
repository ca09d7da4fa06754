#include "messagereport.h"

#include "textformat.h"

#include <cstdio>

namespace quirex::app
{

namespace
{

HeadlessMessageSink &sink()
{
    static HeadlessMessageSink current;
    return current;
}

} // namespace

void writeText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString headlessMessageLine(const QString &title, const QString &text)
{
    QString line = title + QStringLiteral(": ") + text;
    for (QChar &c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return line;
}

void setHeadlessMessageSink(HeadlessMessageSink newSink)
{
    sink() = std::move(newSink);
}

MessageAnswer reportWithoutDisplay(const QString &text, const QString &title, MessageIcon,
                                   MessageButtons buttons)
{
    const QString line = headlessMessageLine(title, text);
    if (sink())
        sink()(line);
    else
        writeText(stderr, line + QLatin1Char('\n'));
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

QString engineExceptionText(int32_t code, const QString &errorText)
{
    return fillFormat(QStringLiteral("Quirex Addon has thrown an exception:\n\n"
                                     "com error: %d - %s"),
                      {qint64(code), errorText});
}

} // namespace quirex::app
