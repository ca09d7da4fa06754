#include "pdfnavigation.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace quirex::engine
{

namespace
{

using Handle = QPDFObjectHandle;

Handle number(double value)
{
    return Handle::newReal(value, 2);
}

// A page of the file with the corner its top-left coordinates start from.
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
Handle destination(const std::vector<Page> &pages, const PdfPlace &place)
{
    const Page &page = pages[place.page];
    Handle array = Handle::newArray();
    array.appendItem(page.object);
    array.appendItem(Handle::newName("/XYZ"));
    array.appendItem(number(page.left + place.left));
    array.appendItem(number(page.top - place.top));
    array.appendItem(Handle::newNull());
    return array;
}

Handle linkAnnotation(const std::vector<Page> &pages, const PdfLink &link)
{
    const Page &page = pages[link.page];
    Handle rect = Handle::newArray();
    rect.appendItem(number(page.left + link.box.left()));
    rect.appendItem(number(page.top - link.box.bottom()));
    rect.appendItem(number(page.left + link.box.right()));
    rect.appendItem(number(page.top - link.box.top()));
    Handle border = Handle::newArray();
    for (int i = 0; i < 3; ++i)
        border.appendItem(Handle::newInteger(0));

    Handle annotation = Handle::newDictionary();
    annotation.replaceKey("/Type", Handle::newName("/Annot"));
    annotation.replaceKey("/Subtype", Handle::newName("/Link"));
    annotation.replaceKey("/Rect", rect);
    annotation.replaceKey("/Border", border);
    annotation.replaceKey("/F", Handle::newInteger(4)); // printable, like the page's other links
    if (link.target.isValid() && onFile(pages, link.target.page)) {
        annotation.replaceKey("/Dest", destination(pages, link.target));
    } else {
        Handle action = Handle::newDictionary();
        action.replaceKey("/S", Handle::newName("/URI"));
        action.replaceKey("/URI", Handle::newString(link.uri.toStdString()));
        annotation.replaceKey("/A", action);
    }
    return annotation;
}

void addLinks(QPDF &pdf, const std::vector<Page> &pages, const std::vector<PdfLink> &links)
{
    for (const PdfLink &link : links) {
        if (!onFile(pages, link.page))
            continue;
        Handle page = pages[link.page].object;
        Handle annotations = page.getKey("/Annots");
        if (!annotations.isArray()) {
            annotations = Handle::newArray();
            page.replaceKey("/Annots", annotations);
        }
        annotations.appendItem(pdf.makeIndirectObject(linkAnnotation(pages, link)));
    }
}

// The outline tree: every item is a child of the nearest earlier item of a
// lower level. Items with children start closed, so a long manual opens
// with its top level only.
void addOutline(QPDF &pdf, const std::vector<Page> &pages, const std::vector<PdfOutlineItem> &items)
{
    struct Node {
        Handle dictionary;
        int level = 0;
        std::vector<size_t> children;
    };
    std::vector<Node> nodes;
    Handle root = pdf.makeIndirectObject(Handle::newDictionary());
    root.replaceKey("/Type", Handle::newName("/Outlines"));
    nodes.push_back({root, 0, {}});
    std::vector<size_t> open{0};
    for (const PdfOutlineItem &item : items) {
        if (!item.target.isValid() || !onFile(pages, item.target.page))
            continue;
        while (nodes[open.back()].level >= item.level)
            open.pop_back();
        Handle dictionary = pdf.makeIndirectObject(Handle::newDictionary());
        dictionary.replaceKey("/Title", Handle::newUnicodeString(item.title.toStdString()));
        dictionary.replaceKey("/Dest", destination(pages, item.target));
        nodes.push_back({dictionary, item.level, {}});
        nodes[open.back()].children.push_back(nodes.size() - 1);
        open.push_back(nodes.size() - 1);
    }
    if (nodes[0].children.empty())
        return;
    for (Node &node : nodes) {
        if (node.children.empty())
            continue;
        const auto count = static_cast<long long>(node.children.size());
        node.dictionary.replaceKey("/Count", Handle::newInteger(node.level == 0 ? count : -count));
        node.dictionary.replaceKey("/First", nodes[node.children.front()].dictionary);
        node.dictionary.replaceKey("/Last", nodes[node.children.back()].dictionary);
        for (size_t i = 0; i < node.children.size(); ++i) {
            Handle child = nodes[node.children[i]].dictionary;
            child.replaceKey("/Parent", node.dictionary);
            if (i > 0)
                child.replaceKey("/Prev", nodes[node.children[i - 1]].dictionary);
            if (i + 1 < node.children.size())
                child.replaceKey("/Next", nodes[node.children[i + 1]].dictionary);
        }
    }
    pdf.getRoot().replaceKey("/Outlines", root);
}

} // namespace

bool addNavigation(const QString &path, const PdfNavigation &navigation, QString *error)
{
    const QFileInfo target(path);
    QTemporaryFile rewritten(target.absolutePath() + QLatin1String("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX.part"));
    if (!rewritten.open()) {
        if (error)
            *error = rewritten.errorString();
        return false;
    }
    const QByteArray source = QFile::encodeName(path);
    const QByteArray written = QFile::encodeName(rewritten.fileName());
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(source.constData());
        const std::vector<Page> pages = readPages(pdf);
        addLinks(pdf, pages, navigation.links);
        addOutline(pdf, pages, navigation.outline);
        QPDFWriter writer(pdf, written.constData());
        // Streams are copied as they are: only the page dictionaries and
        // the catalogue change.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    struct stat old {
    };
    if (::stat(source.constData(), &old) == 0)
        ::chmod(written.constData(), old.st_mode & 07777);
    if (std::rename(written.constData(), source.constData()) != 0) {
        if (error)
            *error = QStringLiteral("cannot replace %1").arg(path);
        return false;
    }
    rewritten.setAutoRemove(false);
    return true;
}

} // namespace quirex::engine
