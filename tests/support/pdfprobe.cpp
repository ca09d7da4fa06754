#include "pdfprobe.h"

#include <QProcess>
#include <QRegularExpression>

#include <functional>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace quirex::test
{

struct PdfProbe::Parsed {
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
};

PdfProbe::PdfProbe(const QString &path)
    : m_path(path)
{
    auto parsed = std::make_unique<Parsed>();
    try {
        parsed->pdf.processFile(path.toLocal8Bit().constData());
        parsed->pages = QPDFPageDocumentHelper(parsed->pdf).getAllPages();
        m_parsed = std::move(parsed);
    } catch (const std::exception &e) {
        m_error = QString::fromLocal8Bit(e.what());
    }
}

PdfProbe::~PdfProbe() = default;

bool PdfProbe::isValid() const
{
    return m_parsed != nullptr;
}

int PdfProbe::pageCount() const
{
    return m_parsed ? static_cast<int>(m_parsed->pages.size()) : 0;
}

QSizeF PdfProbe::pageSizePoints(int index) const
{
    if (index < 0 || index >= pageCount())
        return {};
    const QPDFObjectHandle::Rectangle box =
        m_parsed->pages[index].getMediaBox().getArrayAsRectangle();
    return {box.urx - box.llx, box.ury - box.lly};
}

QVector<LinkAnnotation> PdfProbe::links(int index) const
{
    QVector<LinkAnnotation> result;
    if (index < 0 || index >= pageCount())
        return result;
    for (auto &annotation : m_parsed->pages[index].getAnnotations("/Link")) {
        const QPDFObjectHandle::Rectangle r = annotation.getRect();
        LinkAnnotation link;
        link.rect = QRectF(QPointF(r.llx, r.lly), QPointF(r.urx, r.ury)).normalized();
        QPDFObjectHandle action = annotation.getObjectHandle().getKey("/A");
        if (action.isDictionary() && action.getKey("/URI").isString())
            link.uri = QString::fromStdString(action.getKey("/URI").getUTF8Value());
        QPDFObjectHandle destination = annotation.getObjectHandle().getKey("/Dest");
        if (action.isDictionary() && action.getKey("/S").isNameAndEquals("/GoTo"))
            destination = action.getKey("/D");
        readDestination(destination, &link.targetPage, &link.targetTop);
        result.append(link);
    }
    return result;
}

void PdfProbe::readDestination(QPDFObjectHandle destination, int *page, double *top) const
{
    if (!destination.isArray() || destination.getArrayNItems() < 1)
        return;
    const QPDFObjGen target = destination.getArrayItem(0).getObjGen();
    for (size_t i = 0; i < m_parsed->pages.size(); ++i)
        if (m_parsed->pages[i].getObjectHandle().getObjGen() == target)
            *page = static_cast<int>(i);
    if (destination.getArrayNItems() >= 4 && destination.getArrayItem(3).isNumber())
        *top = destination.getArrayItem(3).getNumericValue();
}

QVector<OutlineEntry> PdfProbe::outline() const
{
    QVector<OutlineEntry> result;
    if (!m_parsed)
        return result;
    QPDFOutlineDocumentHelper outlines(m_parsed->pdf);
    std::function<void(std::vector<QPDFOutlineObjectHelper>, int)> walk =
        [&](std::vector<QPDFOutlineObjectHelper> items, int level) {
            for (QPDFOutlineObjectHelper &item : items) {
                OutlineEntry entry;
                entry.title = QString::fromStdString(item.getTitle());
                entry.level = level;
                readDestination(item.getDest(), &entry.page, &entry.top);
                result.append(entry);
                walk(item.getKids(), level + 1);
            }
        };
    walk(outlines.getTopLevelOutlines(), 1);
    return result;
}

QString PdfProbe::info(const char *key) const
{
    if (!m_parsed)
        return {};
    QPDFObjectHandle infoDict = m_parsed->pdf.getTrailer().getKey("/Info");
    if (!infoDict.isDictionary() || !infoDict.getKey(key).isString())
        return {};
    return QString::fromStdString(infoDict.getKey(key).getUTF8Value());
}

QString PdfProbe::text(int index) const
{
    QStringList args;
    if (index >= 0)
        args << QStringLiteral("-f") << QString::number(index + 1) << QStringLiteral("-l")
             << QString::number(index + 1);
    args << QStringLiteral("-enc") << QStringLiteral("UTF-8") << m_path << QStringLiteral("-");
    QProcess process;
    process.start(QStringLiteral("pdftotext"), args);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QVector<PdfWord> PdfProbe::words(int index) const
{
    QVector<PdfWord> result;
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(index + 1),
                   QStringLiteral("-l"), QString::number(index + 1), m_path, QStringLiteral("-")});
    if (!process.waitForFinished(60000))
        return result;
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = word.globalMatch(output); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        result.append(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return result;
}

QStringList PdfProbe::fontNames() const
{
    QProcess process;
    process.start(QStringLiteral("pdffonts"), {m_path});
    if (!process.waitForFinished(60000))
        return {};
    QStringList names;
    // Two header lines, then one font per line, its name first.
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (int i = 2; i < lines.size(); ++i) {
        QString name = lines.at(i).section(QLatin1Char(' '), 0, 0);
        name = name.mid(name.indexOf(QLatin1Char('+')) + 1);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

QVector<QSize> PdfProbe::imageSizes(int index) const
{
    QVector<QSize> sizes;
    for (int page = 0; page < pageCount(); ++page) {
        if (index >= 0 && index != page)
            continue;
        for (auto &[name, image] : m_parsed->pages[page].getImages()) {
            QPDFObjectHandle dict = image.getDict();
            sizes.append(QSize(static_cast<int>(dict.getKey("/Width").getIntValue()),
                               static_cast<int>(dict.getKey("/Height").getIntValue())));
        }
    }
    return sizes;
}

QByteArray PdfProbe::contents(int index) const
{
    QByteArray contents;
    if (!m_parsed || index < 0 || index >= pageCount())
        return contents;
    for (auto &stream : m_parsed->pages[index].getPageContents())
        if (stream.isStream()) {
            const auto data = stream.getStreamData(qpdf_dl_generalized);
            contents.append(reinterpret_cast<const char *>(data->getBuffer()),
                            static_cast<int>(data->getSize()));
        }
    return contents;
}

bool PdfProbe::usesOnlyGray() const
{
    if (!m_parsed)
        return false;
    for (int index = 0; index < pageCount(); ++index) {
        auto &page = m_parsed->pages[index];
        const QByteArray bytes = contents(index);
        const std::string contents(bytes.constData(), size_t(bytes.size()));
        // Colours with three components must be greys (all three equal);
        // four-component (CMYK) colours do not occur in grayscale output.
        static const QRegularExpression colour(
            QStringLiteral("(-?[\\d.]+) (-?[\\d.]+) (-?[\\d.]+) (scn|SCN|rg|RG)\\b"));
        const QString text =
            QString::fromLatin1(contents.data(), static_cast<int>(contents.size()));
        for (auto match = colour.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            if (m.captured(1).toDouble() != m.captured(2).toDouble() ||
                m.captured(2).toDouble() != m.captured(3).toDouble())
                return false;
        }
        if (contents.find(" k\n") != std::string::npos ||
            contents.find(" K\n") != std::string::npos)
            return false;
        for (auto &[name, image] : page.getImages())
            if (image.getDict().getKey("/ColorSpace").isName() &&
                image.getDict().getKey("/ColorSpace").getName() != "/DeviceGray")
                return false;
    }
    return true;
}

} // namespace quirex::test
