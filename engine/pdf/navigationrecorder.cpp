#include "navigationrecorder.h"

#include <QUrl>

#include <algorithm>
#include <climits>

namespace quirex::engine
{

int NavigationRecorder::addDocument(LoadedDocument document)
{
    m_documents.push_back({std::move(document), {}});
    return static_cast<int>(m_documents.size()) - 1;
}

void NavigationRecorder::addPrintedSlice(int document, int page, int from, int to,
                                         const QPointF &origin, double scale)
{
    if (document < 0 || document >= static_cast<int>(m_documents.size()) || from >= to)
        return;
    m_documents[document].slices.push_back({from, to, page, origin, scale});
}

QString LinkAddress::text() const
{
    return resolve ? QUrl(base).resolved(QUrl(href)).toString() : href;
}

void NavigationRecorder::addJump(int source, int page, const QRectF &box, const QString &address,
                                 const QString &fragment, const LinkAddress &fallback)
{
    Jump jump;
    jump.source = source;
    jump.link.page = page;
    jump.link.box = box;
    jump.uri = fallback;
    jump.address = address;
    jump.fragment = fragment;
    m_jumps.push_back(std::move(jump));
}

void NavigationRecorder::addUri(int page, const QRectF &box, const LinkAddress &uri)
{
    Jump link;
    link.link.page = page;
    link.link.box = box;
    link.uri = uri;
    m_jumps.push_back(std::move(link));
}

void NavigationRecorder::forgetPages()
{
    m_jumps.clear();
    for (Document &document : m_documents)
        document.slices.clear();
}

void NavigationRecorder::clear()
{
    // Released, not only emptied: a long manual's jumps take megabytes,
    // and the PDF's update is written right after.
    std::vector<Jump>().swap(m_jumps);
    std::vector<Document>().swap(m_documents);
}

std::vector<NavigationRecorder::Slice> NavigationRecorder::sortedSlices(const Document &document)
{
    std::vector<Slice> slices = document.slices;
    std::stable_sort(slices.begin(), slices.end(),
                     [](const Slice &a, const Slice &b) { return a.from < b.from; });
    return slices;
}

PdfPlace NavigationRecorder::place(const std::vector<Slice> &slices, const QPoint &position)
{
    // The slice holding the position: the last one starting at or above it.
    auto it = std::upper_bound(slices.begin(), slices.end(), position.y(),
                               [](int y, const Slice &slice) { return y < slice.from; });
    if (it == slices.begin())
        return {};
    --it;
    // Among slices starting at the same place, the first printed one.
    const int from = it->from;
    while (it != slices.begin() && std::prev(it)->from == from)
        --it;
    if (position.y() >= it->to)
        return {};
    PdfPlace result;
    result.page = it->page;
    result.left = it->origin.x() + position.x() * it->scale;
    result.top = it->origin.y() + (position.y() - it->from) * it->scale;
    return result;
}

PdfPlace NavigationRecorder::resolve(const Jump &jump,
                                     const std::vector<std::vector<Slice>> &slices,
                                     const DocumentsByAddress &documents) const
{
    // The document holding the link comes first, then the others in the
    // order they were loaded.
    std::vector<int> candidates;
    if (m_documents[jump.source].content.address == jump.address)
        candidates.push_back(jump.source);
    const auto sameAddress = documents.constFind(jump.address);
    if (sameAddress != documents.constEnd())
        for (const int i : *sameAddress)
            if (i != jump.source)
                candidates.push_back(i);

    for (const int candidate : candidates) {
        const std::vector<Slice> &printed = slices[candidate];
        if (printed.empty())
            continue;
        const auto &targets = m_documents[candidate].content.targets;
        const auto target = targets.constFind(jump.fragment);
        if (target != targets.constEnd()) {
            const PdfPlace found = place(printed, *target);
            if (found.isValid())
                return found;
            continue;
        }
        // As in a browser: no fragment, or "top" naming no element, is the
        // document's start (here: its first printed slice).
        if (jump.fragment.isEmpty() ||
            jump.fragment.compare(QLatin1String("top"), Qt::CaseInsensitive) == 0)
            return place(printed, QPoint(0, printed.front().from));
    }
    return {};
}

PdfNavigation NavigationRecorder::navigation() const
{
    std::vector<std::vector<Slice>> slices;
    slices.reserve(m_documents.size());
    for (const Document &document : m_documents)
        slices.push_back(sortedSlices(document));

    DocumentsByAddress documents;
    for (int i = 0; i < static_cast<int>(m_documents.size()); ++i)
        documents[m_documents[i].content.address].push_back(i);

    PdfNavigation result;
    result.links.reserve(m_jumps.size());
    for (const Jump &jump : m_jumps) {
        PdfLink link = jump.link;
        if (jump.source >= 0)
            link.target = resolve(jump, slices, documents);
        // A jump needs its address only when its place was not printed.
        if (!link.target.isValid())
            link.uri = jump.uri.text();
        result.links.push_back(std::move(link));
    }
    for (size_t d = 0; d < m_documents.size(); ++d) {
        for (const DocumentHeading &heading : m_documents[d].content.headings) {
            const PdfPlace found = place(slices[d], heading.position);
            if (found.isValid())
                result.outline.push_back({heading.title, heading.level, found});
        }
    }
    return result;
}

} // namespace quirex::engine
