#include "documentscan.h"

#include "documenttree.h"
#include "pageslicer.h"
#include "pointlist.h"

#include <QWebElement>

#include <vector>

namespace quirex::engine
{

namespace
{

QString cascaded(const QWebElement &element, const QString &property)
{
    return element.styleProperty(property, QWebElement::CascadedStyle);
}

bool forcesBreak(const QWebElement &element, const QString &oldName, const QString &newName)
{
    if (cascaded(element, oldName) == QLatin1String("always"))
        return true;
    const QString value = cascaded(element, newName);
    return value == QLatin1String("page") || value == QLatin1String("always");
}

bool avoidsBreakInside(const QWebElement &element)
{
    if (cascaded(element, QStringLiteral("page-break-inside")) == QLatin1String("avoid"))
        return true;
    const QString value = cascaded(element, QStringLiteral("break-inside"));
    return value == QLatin1String("avoid") || value == QLatin1String("avoid-page");
}

void scanElement(const QWebElement &element, PointList &forcedBreaks, PointList &avoided,
                 std::vector<Extent> *avoidedBlocks)
{
    static const QString before = QStringLiteral("page-break-before");
    static const QString after = QStringLiteral("page-break-after");
    static const QString breakBefore = QStringLiteral("break-before");
    static const QString breakAfter = QStringLiteral("break-after");
    const QRect geometry = element.geometry();
    if (forcesBreak(element, before, breakBefore))
        forcedBreaks.addUnlessPresent(geometry.top());
    if (forcesBreak(element, after, breakAfter))
        forcedBreaks.addUnlessPresent(geometry.bottom());
    if (avoidsBreakInside(element)) {
        avoided.addUnlessPresent(geometry.bottom());
        if (avoidedBlocks)
            avoidedBlocks->push_back({geometry.top(), geometry.bottom()});
    }
}

// The header and footer groups of a table: its first THEAD and TFOOT
// children, the groups the web engine repeats the role of.
TableGroups::Table tableGroups(const QWebElement &table, const QRect &geometry)
{
    static const QString thead = QStringLiteral("THEAD");
    static const QString tfoot = QStringLiteral("TFOOT");
    TableGroups::Table found{
        geometry.left(), geometry.width(), geometry.top(), geometry.bottom(), {}, {}};
    bool head = false;
    bool foot = false;
    for (QWebElement child = table.firstChild(); !child.isNull() && !(head && foot);
         child = child.nextSibling()) {
        const QString tag = child.tagName();
        TableGroups::Rows *rows = nullptr;
        if (!head && tag == thead) {
            head = true;
            rows = &found.head;
        } else if (!foot && tag == tfoot) {
            foot = true;
            rows = &found.foot;
        }
        if (rows) {
            const QRect box = child.geometry();
            if (box.height() > 0)
                *rows = {box.top(), box.bottom()};
        }
    }
    return found;
}

} // namespace

void findCssPageBreaks(const QWebElement &root, PointList &forcedBreaks, PointList &avoided,
                       std::vector<Extent> *avoidedBlocks)
{
    if (!root.isNull()) {
        scanElement(root, forcedBreaks, avoided, avoidedBlocks);
        for (const QWebElement &element : root.findAll(QStringLiteral("*")))
            scanElement(element, forcedBreaks, avoided, avoidedBlocks);
    }
    forcedBreaks.sort();
}

void findPoints(const QWebElement &parent, const PointScanOptions &options, PointList &points,
                PointList &imagePoints, PointList &tablePoints, DocumentTree *tree,
                TableScan *tables)
{
    static const QString img = QStringLiteral("IMG");
    static const QString table = QStringLiteral("TABLE");
    static const QString row = QStringLiteral("TR");
    // Depth-first, in document order: each stack entry is the next sibling
    // still to visit on that level, with the index of its parent.
    struct Pending {
        QWebElement element;
        int parent;
    };
    std::vector<Pending> pending;
    pending.push_back({parent.firstChild(), -1});
    while (!pending.empty()) {
        Pending next = std::move(pending.back());
        pending.pop_back();
        const QWebElement &element = next.element;
        if (element.isNull())
            continue;
        pending.push_back({element.nextSibling(), next.parent});

        const QRect geometry = element.geometry();
        const int point = (geometry.top() == 0 && geometry.height() == 0) ? 0 : geometry.bottom();
        points.addUnlessPresent(point);
        const QString tag = element.tagName();
        if (options.keepImagesWhole && tag == img)
            imagePoints.addUnlessPresent(point);
        const bool isTable = tag == table;
        const bool wholeTable = options.keepTablesWhole && isTable;
        const bool enter = !wholeTable || (tables && geometry.height() > options.pageHeight);
        const int node =
            tree ? tree->add(next.parent, geometry.top(), geometry.bottom(), enter) : -1;
        if (wholeTable)
            tablePoints.addUnlessPresent(point);
        if (tables && geometry.height() > 0) {
            if ((wholeTable && enter) || tag == row)
                tables->wholeBlocks.push_back({geometry.top(), geometry.bottom()});
            if (tag == row)
                tables->rowPoints.addUnlessPresent(point);
            // A table that is one block never continues across a page.
            if (isTable && enter)
                tables->groups.add(tableGroups(element, geometry));
        }
        if (enter)
            pending.push_back({element.firstChild(), node});
    }
    if (tree)
        tree->finish();
}

} // namespace quirex::engine
