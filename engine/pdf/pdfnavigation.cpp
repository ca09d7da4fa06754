#include "pdfnavigation.h"

#include <QByteArray>
#include <QFile>

#include "pdfobjectreader.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace quirex::engine
{

namespace
{

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
        , m_flushed(fileSize)
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
        append(QByteArray::number(number) + ' ' + QByteArray::number(generation) + " obj\n" + body +
               "\nendobj\n");
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
            QByteArray section =
                QByteArray::number(it->number) + ' ' + QByteArray::number(count) + '\n';
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

    // Seeks first: the file is read between writes.
    void flush()
    {
        if (!m_failed && (!m_file.seek(m_flushed) || m_file.write(m_pending) != m_pending.size()))
            m_failed = true;
        m_flushed += m_pending.size();
        m_pending.clear();
    }

    static constexpr int kChunk = 64 * 1024;

    QIODevice &m_file;
    qint64 m_position; // where the next text will be
    qint64 m_flushed;  // where the pending text goes
    int m_nextObject;
    bool m_failed = false;
    QByteArray m_pending; // written in chunks to the unbuffered file
    std::vector<Offset> m_offsets;
};

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

QByteArray reference(int number, int generation = 0)
{
    return QByteArray::number(number) + ' ' + QByteArray::number(generation) + " R";
}

// A dictionary's text with `entries` added in place of the keys they name;
// the other entries are copied as the file has them.
QByteArray withEntries(const PdfValue &dictionary,
                       const std::vector<std::pair<const char *, QByteArray>> &entries)
{
    QByteArray result = "<<";
    for (const auto &existing : dictionary.entries) {
        const bool replaced = std::any_of(entries.begin(), entries.end(), [&](const auto &entry) {
            return existing.first == entry.first;
        });
        if (!replaced)
            result += ' ' + existing.first + ' ' + existing.second.text;
    }
    for (const auto &entry : entries)
        result += ' ' + QByteArray(entry.first) + ' ' + entry.second;
    return result + " >>";
}

// A page of the file: its object, its dictionary and the corner its
// top-left coordinates start from.
struct Page {
    int object = 0;
    int generation = 0;
    PdfValue dictionary;
    double left = 0;
    double top = 0;
};

// The pages in order, from the catalogue's page tree; false when the tree
// cannot be read.
class PageTreeReader
{
public:
    explicit PageTreeReader(const PdfObjectReader &reader)
        : m_reader(reader)
    {
    }

    bool read(std::vector<Page> &pages)
    {
        const PdfValue root = m_reader.resolve(*m_reader.trailer().find("/Root"));
        const PdfValue *tree = root.find("/Pages");
        return tree && visit(*tree, PdfValue(), 0, pages);
    }

private:
    bool visit(const PdfValue &node, const PdfValue &inheritedBox, int depth,
               std::vector<Page> &pages)
    {
        if (node.kind != PdfValue::Kind::Reference || depth > 64 ||
            !m_visited.insert(node.object).second)
            return false;
        PdfValue dictionary = m_reader.object(node.object);
        if (dictionary.kind != PdfValue::Kind::Dictionary)
            return false;
        const PdfValue *ownBox = dictionary.find("/MediaBox");
        const PdfValue box = ownBox ? m_reader.resolve(*ownBox) : inheritedBox;
        const PdfValue *type = dictionary.find("/Type");
        if (type && type->text == "/Pages") {
            const PdfValue *kidsEntry = dictionary.find("/Kids");
            const PdfValue kids = kidsEntry ? m_reader.resolve(*kidsEntry) : PdfValue();
            if (kids.kind != PdfValue::Kind::Array)
                return false;
            for (const PdfValue &kid : kids.items)
                if (!visit(kid, box, depth + 1, pages))
                    return false;
            return true;
        }
        double corners[4];
        if (box.kind != PdfValue::Kind::Array || box.items.size() != 4)
            return false;
        for (int i = 0; i < 4; ++i) {
            const PdfValue corner = m_reader.resolve(box.items[static_cast<size_t>(i)]);
            if (corner.kind != PdfValue::Kind::Number)
                return false;
            corners[i] = corner.number;
        }
        pages.push_back({node.object, node.generation, std::move(dictionary),
                         std::min(corners[0], corners[2]), std::max(corners[1], corners[3])});
        return true;
    }

    const PdfObjectReader &m_reader;
    std::unordered_set<int> m_visited;
};

bool onFile(const std::vector<Page> &pages, int page)
{
    return page >= 0 && page < static_cast<int>(pages.size());
}

// [page /XYZ left top null]: opens the page with `place` at the top-left of
// the window, keeping the reader's zoom.
QByteArray destination(const std::vector<Page> &pages, const PdfPlace &place)
{
    const Page &page = pages[place.page];
    return '[' + reference(page.object, page.generation) + " /XYZ " +
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
        annotation += "/A << /S /URI /URI " + pdfLiteralString(link.uri.toUtf8()) + " >>";
    return annotation + " >>";
}

void addLinks(IncrementalUpdate &update, const PdfObjectReader &reader,
              const std::vector<Page> &pages, const std::vector<PdfLink> &links)
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
        const Page &page = pages[index];
        QByteArray annotations = "[";
        const PdfValue *entry = page.dictionary.find("/Annots");
        const PdfValue existing = entry ? reader.resolve(*entry) : PdfValue();
        for (const PdfValue &item : existing.items)
            annotations += item.text + ' ';
        for (const int object : objects)
            annotations += reference(object) + ' ';
        annotations += ']';
        update.write(page.object, page.generation,
                     withEntries(page.dictionary, {{"/Annots", annotations}}));
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
            body += "/Title " + pdfTextString(node.item->title) + " /Dest " +
                    destination(pages, node.item->target) + " /Parent " +
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
    PdfObjectReader reader;
    if (!reader.open(&file, error))
        return false;
    std::vector<Page> pages;
    if (!PageTreeReader(reader).read(pages)) {
        if (error)
            *error = QStringLiteral("%1 has a page tree that cannot be read").arg(path);
        return false;
    }

    // The update is appended where the file ends; a failure takes it back,
    // so the file stays the complete document it was.
    const PdfValue &trailer = reader.trailer();
    IncrementalUpdate update(file, size, static_cast<int>(trailer.find("/Size")->number));
    addLinks(update, reader, pages, navigation.links);
    const int outline = addOutline(update, pages, navigation.outline);
    bool written = true;
    if (outline != 0) {
        const PdfValue *rootReference = trailer.find("/Root");
        const PdfValue root = reader.resolve(*rootReference);
        written = root.kind == PdfValue::Kind::Dictionary;
        if (written)
            update.write(rootReference->object, rootReference->generation,
                         withEntries(root, {{"/Outlines", reference(outline)}}));
        else if (error)
            *error = QStringLiteral("%1 has no readable catalogue").arg(path);
    }
    if (written) {
        std::vector<std::pair<const char *, QByteArray>> entries{
            {"/Size", QByteArray::number(update.objectCount())},
            {"/Prev", QByteArray::number(reader.crossReferenceOffset())}};
        written = update.finish(withEntries(trailer, entries));
        if (!written && error)
            *error = file.errorString();
    }
    if (!written)
        file.resize(size);
    return written;
}

} // namespace quirex::engine
