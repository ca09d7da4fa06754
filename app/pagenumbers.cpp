#include "pagenumbers.h"

#include "conversionsettings.h"
#include "engineclient.h"
#include "stringids.h"
#include "stringtable.h"
#include "textformat.h"

namespace quirex::app
{

QString pageNumberText(const QString &format, int current, int total)
{
    if (format.isEmpty())
        return fillFormat(loadText(strings::PageNumberPattern), {qint64(current)});
    QString text = format;
    text.replace(QLatin1String("%c"), QString::number(current));
    text.replace(QLatin1String("%t"), QString::number(total));
    return text;
}

QString pageNumberLayout(int align)
{
    switch (align) {
    case 0:
        return QStringLiteral("AlignLeft");
    case 1:
        return QStringLiteral("AlignHCenter");
    case 2:
        return QStringLiteral("AlignRight");
    default:
        return QString();
    }
}

int engineBottomMargin(const ConversionSettings &settings, int resolution, bool pageNumberReserve)
{
    if (!pageNumberReserve)
        return settings.MarginBottom;
    return int(resolution * 180.0 / 720.0 + settings.MarginBottom);
}

void stampPageNumber(EngineClient &engine, const ConversionSettings &settings, int current,
                     int total)
{
    engine.setFontFamily(QStringLiteral("Arial"));
    engine.setFontStyle(QStringLiteral("Normal"));
    engine.setFontWeight(QStringLiteral("Normal"));
    engine.setFontPointSize(8);
    const int height = int(engine.getTextHeight(QStringLiteral("Page 1")) * 96.0 / 720.0);
    const QString text = pageNumberText(settings.PageNumberFormat, current, total);
    const QString layout = pageNumberLayout(settings.PageNumberAlign);
    const int paperWidth = engine.paperWidth();
    const int paperHeight = engine.paperHeight();
    engine.drawText(0, paperHeight - settings.MarginTop - settings.MarginBottom - height,
                    paperWidth - settings.MarginRight - settings.MarginLeft, height, layout, text,
                    1.0, 1.0, 0.0);
}

} // namespace quirex::app
