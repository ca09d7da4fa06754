#include "pdfnavigation.h"

#include <QByteArray>
#include <QFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <exception>
#include <map>
#include <stdexcept>

namespace quirex::engine
{

namespace
{

using Handle = QPDFObjectHandle;

// The links and the outline go into the file as an incremental update: the
// new objects, the page objects and catalogue that now refer to them, and a
// cross-reference section for these alone are appended. The cost follows
// what is added, not the size of the document, and the objects go to the
// file as they are made, so a manual's thousands of links are never held
// in memory as text.
class IncrementalUpdate
{
public:
    IncrementalUpdate(QIODevice &file, qint64 fileSize, int firstNewObject)
        : m_file(file)
        , m_position(fileSize)
        , m_nextObject(firstNewObject)
    {
        append("\n");
    }

    int reserve() { return m_nextObject++; }
    int objectCount() const { return m_nextObject; }

    // Writes object `number` (generation `generation`) with `body`.
    void write(int number, int generation, const QByteArray &body)
    {
        m_offsets.push_back({number, m_position, generation});
        append(QByteArray::number(number) + ' ' + QByteArray::number(generation) + " obj\n" +
               body + "\nendobj\n");
    }

    // Writes the cross-reference section and the trailer; false when some
    // write failed.
    bool finish(const QByteArray &trailer)
    {
        const qint64 xref = m_position;
        append("xref\n");
        std::sort(m_offsets.begin(), m_offsets.end(),
                  [](const Offset &a, const Offset &b) { return a.number < b.number; });
        // Subsections of consecutive numbers, in ascending order.
        for (auto it = m_offsets.begin(); it != m_offsets.end();) {
            auto end = it;
            int count = 0;
            while (end != m_offsets.end() && end->number == it->number + count) {
                ++end;
                ++count;
            }
            QByteArray section = QByteArray::number(it->number) + ' ' +
                                 QByteArray::number(count) + '\n';
            for (; it != end; ++it)
                section += QByteArray::number(it->offset).rightJustified(10, '0') + ' ' +
                           QByteArray::number(it->generation).rightJustified(5, '0') + " n \n";
            append(section);
        }
        append("trailer\n" + trailer + "\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
        flush();
        return !m_failed;
    }

private:
    struct Offset {
        int number;
        qint64 offset;
        int generation;
    };

    void append(const QByteArray &text)
    {
        m_pending += text;
        m_position += text.size();
        if (m_pending.size() >= kChunk)
            flush();
    }

    void flush()
    {
        if (!m_failed && m_file.write(m_pending) != m_pending.size())
            m_failed = true;
        m_pending.clear();
    }

    static constexpr int kChunk = 64 * 1024;

    QIODevice &m_file;
    qint64 m_position;
    int m_nextObject;
    bool m_failed = false;
    QByteArray m_pending; // written in chunks to the unbuffered file
    std::vector<Offset> m_offsets;
};

QByteArray text(Handle object)
{
    return QByteArray::fromStdString(object.unparse());
}

// The object's text with every indirect object in it written as a
// reference. Unlike unparse(), which reads each referenced object to leave
// out null entries, this reads nothing more from the file.
QByteArray shallowText(Handle object)
{
    if (object.isIndirect()) {
        const QPDFObjGen id = object.getObjGen();
        return QByteArray::number(id.getObj()) + ' ' + QByteArray::number(id.getGen()) + " R";
    }
    if (object.isArray()) {
        QByteArray result = "[";
        for (Handle &item : object.getArrayAsVector())
            result += ' ' + shallowText(item);
        return result + " ]";
    }
    if (object.isDictionary()) {
        QByteArray result = "<<";
        for (const std::string &key : object.getKeys())
            result += ' ' + text(Handle::newName(key)) + ' ' + shallowText(object.getKey(key));
        return result + " >>";
    }
    return text(object);
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

QByteArray reference(int number, int generation = 0)
{
    return QByteArray::number(number) + ' ' + QByteArray::number(generation) + " R";
}

// A dictionary's text with `entries` added in place of the keys they name.
QByteArray withEntries(Handle dictionary,
                       const std::vector<std::pair<const char *, QByteArray>> &entries)
{
    QByteArray result = "<<";
    for (const std::string &key : dictionary.getKeys()) {
        const bool replaced = std::any_of(entries.begin(), entries.end(),
                                          [&](const auto &entry) { return key == entry.first; });
        if (!replaced)
            result += ' ' + text(Handle::newName(key)) + ' ' + shallowText(dictionary.getKey(key));
    }
    for (const auto &entry : entries)
        result += ' ' + QByteArray(entry.first) + ' ' + entry.second;
    return result + " >>";
}

// A page of the file: its object and the corner its top-left coordinates
// start from.
struct Page {
    Handle object;
    double left = 0;
    double top = 0;
};

std::vector<Page> readPages(QPDF &pdf)
{
    std::vector<Page> pages;
    for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        const Handle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
        pages.push_back(
            {page.getObjectHandle(), std::min(box.llx, box.urx), std::max(box.lly, box.ury)});
    }
    return pages;
}

bool onFile(const std::vector<Page> &pages, int page)
{
    return page >= 0 && page < static_cast<int>(pages.size());
}

// [page /XYZ left top null]: opens the page with `place` at the top-left of
// the window, keeping the reader's zoom.
QByteArray destination(const std::vector<Page> &pages, const PdfPlace &place)
{
    const Page &page = pages[place.page];
    const QPDFObjGen object = page.object.getObjGen();
    return '[' + reference(object.getObj(), object.getGen()) + " /XYZ " +
           number(page.left + place.left) + ' ' + number(page.top - place.top) + " null]";
}

QByteArray linkAnnotation(const std::vector<Page> &pages, const PdfLink &link)
{
    const Page &page = pages[link.page];
    QByteArray annotation =
        "<< /Type /Annot /Subtype /Link /Rect [" + number(page.left + link.box.left()) + ' ' +
        number(page.top - link.box.bottom()) + ' ' + number(page.left + link.box.right()) + ' ' +
        number(page.top - link.box.top()) + "] /Border [0 0 0] /F 4 ";
    if (link.target.isValid() && onFile(pages, link.target.page))
        annotation += "/Dest " + destination(pages, link.target);
    else
        annotation +=
            "/A << /S /URI /URI " + text(Handle::newString(link.uri.toStdString())) + " >>";
    return annotation + " >>";
}

void addLinks(IncrementalUpdate &update, const std::vector<Page> &pages,
              const std::vector<PdfLink> &links)
{
    std::map<int, std::vector<int>> added; // page -> new annotation objects
    for (const PdfLink &link : links) {
        if (!onFile(pages, link.page))
            continue;
        const int object = update.reserve();
        update.write(object, 0, linkAnnotation(pages, link));
        added[link.page].push_back(object);
    }
    for (const auto &[index, objects] : added) {
        Handle page = pages[index].object;
        QByteArray annotations = "[";
        Handle existing = page.getKey("/Annots");
        if (existing.isArray())
            for (Handle &item : existing.getArrayAsVector())
                annotations += shallowText(item) + ' ';
        for (const int object : objects)
            annotations += reference(object) + ' ';
        annotations += ']';
        const QPDFObjGen id = page.getObjGen();
        update.write(id.getObj(), id.getGen(), withEntries(page, {{"/Annots", annotations}}));
    }
}

// The outline tree: every item is a child of the nearest earlier item of a
// lower level. Items with children start closed, so a long manual opens
// with its top level only. Returns the outline's object, or 0 for none.
int addOutline(IncrementalUpdate &update, const std::vector<Page> &pages,
               const std::vector<PdfOutlineItem> &items)
{
    struct Node {
        int object = 0;
        int level = 0;
        int parent = -1;
        const PdfOutlineItem *item = nullptr;
        std::vector<int> children;
    };
    std::vector<Node> nodes(1);
    std::vector<int> open{0};
    for (const PdfOutlineItem &item : items) {
        if (!item.target.isValid() || !onFile(pages, item.target.page))
            continue;
        while (nodes[open.back()].level >= item.level)
            open.pop_back();
        Node node;
        node.level = item.level;
        node.parent = open.back();
        node.item = &item;
        nodes.push_back(node);
        const int index = static_cast<int>(nodes.size()) - 1;
        nodes[node.parent].children.push_back(index);
        open.push_back(index);
    }
    if (nodes.size() == 1)
        return 0;
    for (Node &node : nodes)
        node.object = update.reserve();
    for (const Node &node : nodes) {
        QByteArray body = "<< ";
        if (node.item) {
            body += "/Title " + text(Handle::newUnicodeString(node.item->title.toStdString())) +
                    " /Dest " + destination(pages, node.item->target) + " /Parent " +
                    reference(nodes[node.parent].object);
            const std::vector<int> &siblings = nodes[node.parent].children;
            const auto self =
                std::find(siblings.begin(), siblings.end(), static_cast<int>(&node - nodes.data()));
            if (self != siblings.begin())
                body += " /Prev " + reference(nodes[*(self - 1)].object);
            if (self + 1 != siblings.end())
                body += " /Next " + reference(nodes[*(self + 1)].object);
        } else {
            body += "/Type /Outlines";
        }
        if (!node.children.empty()) {
            const auto count = static_cast<long long>(node.children.size());
            body += " /First " + reference(nodes[node.children.front()].object) + " /Last " +
                    reference(nodes[node.children.back()].object) + " /Count " +
                    QByteArray::number(node.item ? -count : count);
        }
        update.write(node.object, 0, body + " >>");
    }
    return nodes[0].object;
}

// Where the file's last cross-reference section starts; -1 unless it is a
// classic table (the only kind the engine's PDF output writes).
qint64 lastCrossReference(QFile &file)
{
    const qint64 size = file.size();
    file.seek(std::max<qint64>(0, size - 1024));
    const QByteArray tail = file.readAll();
    const int at = tail.lastIndexOf("startxref");
    if (at < 0)
        return -1;
    bool ok = false;
    const qint64 offset = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || offset < 0 || offset >= size || !file.seek(offset) || file.read(4) != "xref")
        return -1;
    return offset;
}

} // namespace

bool addNavigation(const QString &path, const PdfNavigation &navigation, QString *error)
{
    // Unbuffered, so nothing written can linger in a buffer when a failed
    // update is cut off again.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    const qint64 previous = lastCrossReference(file);
    if (previous < 0) {
        if (error)
            *error = QStringLiteral("%1 has no cross-reference table to update").arg(path);
        return false;
    }
    // The update is appended where the file ends; a failure takes it back,
    // so the file stays the complete document it was.
    bool written = false;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(path).constData());
        const std::vector<Page> pages = readPages(pdf);
        Handle trailer = pdf.getTrailer();
        if (!file.seek(size))
            throw std::runtime_error("cannot seek to the end of the file");
        IncrementalUpdate update(file, size,
                                 static_cast<int>(trailer.getKey("/Size").getIntValue()));
        addLinks(update, pages, navigation.links);
        const int outline = addOutline(update, pages, navigation.outline);
        if (outline != 0) {
            Handle root = trailer.getKey("/Root");
            const QPDFObjGen id = root.getObjGen();
            update.write(id.getObj(), id.getGen(),
                         withEntries(root, {{"/Outlines", reference(outline)}}));
        }
        std::vector<std::pair<const char *, QByteArray>> entries{
            {"/Size", QByteArray::number(update.objectCount())},
            {"/Prev", QByteArray::number(previous)}};
        written = update.finish(withEntries(trailer, entries));
        if (!written && error)
            *error = file.errorString();
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
    }
    if (!written)
        file.resize(size);
    return written;
}

} // namespace quirex::engine
