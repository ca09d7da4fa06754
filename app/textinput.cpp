#include "textinput.h"

namespace quirex::app
{

TextEncoding detectTextEncoding(const QByteArray &bytes)
{
    if (bytes.size() >= 2) {
        const auto first = uchar(bytes[0]);
        const auto second = uchar(bytes[1]);
        if (first == 0xFF && second == 0xFE)
            return TextEncoding::Utf16LittleEndian;
        if (first == 0xFE && second == 0xFF)
            return TextEncoding::Utf16BigEndian;
    }
    if (bytes.isEmpty() || bytes.size() % 2 != 0)
        return TextEncoding::Narrow;
    qint64 evenZeros = 0;
    qint64 oddZeros = 0;
    const char *data = bytes.constData();
    for (int i = 0; i < bytes.size(); i += 2) {
        evenZeros += data[i] == 0;
        oddZeros += data[i + 1] == 0;
    }
    // Narrow text has no zero bytes. UTF-16 text has a zero high byte in
    // every blank, digit and Latin letter (so in a good share of any text,
    // Cyrillic included) and almost never a zero low byte; binary data has
    // zeros on both sides alike.
    const qint64 units = bytes.size() / 2;
    if (oddZeros * 16 >= units && evenZeros * 8 <= oddZeros)
        return TextEncoding::Utf16LittleEndian;
    if (evenZeros * 16 >= units && oddZeros * 8 <= evenZeros)
        return TextEncoding::Utf16BigEndian;
    return TextEncoding::Narrow;
}

bool hasUtf16ByteOrderMark(const QByteArray &bytes)
{
    return bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
}

QString utf16TextHtml(const QByteArray &bytes, TextEncoding encoding)
{
    const int high = encoding == TextEncoding::Utf16BigEndian ? 0 : 1;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort(uchar(bytes[2 * i + high]) << 8 | uchar(bytes[2 * i + 1 - high])));
    return QStringLiteral("<html><body><pre style=\"word-wrap: break-word; white-space: "
                          "pre-wrap;\">") +
           text.toHtmlEscaped() + QStringLiteral("</pre></body></html>");
}

QString textInputHtml(const QByteArray &bytes)
{
    QString html = QStringLiteral("<html><body><font size=\"2\" face=\"Courier New\">");
    html.reserve(bytes.size() + bytes.size() / 8 + 64);
    int start = 0;
    while (start < bytes.size()) {
        int end = bytes.indexOf('\n', start);
        const int next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        int length = end - start;
        if (length > 0 && bytes[start + length - 1] == '\r' && end < bytes.size())
            --length;
        html += QString::fromUtf8(bytes.constData() + start, length);
        html += QLatin1String("<br>");
        start = next;
    }
    html += QLatin1String("</font></body></html>");
    return html;
}

} // namespace quirex::app
