#include "documentnavigation.h"

#include <QUrl>
#include <QWebElement>

namespace quirex::engine
{

namespace
{

bool hasBox(const QRect &geometry)
{
    return geometry.width() > 0 || geometry.height() > 0;
}

// The top-left corner of `element`, or of the first element after it in
// document order that has a box: an empty `<a name>` marks the place of
// what follows it. Null when nothing after it has a box.
QPoint placeOf(const QWebElement &element)
{
    QRect geometry = element.geometry();
    if (hasBox(geometry))
        return geometry.topLeft();
    // Bounded, so a long run of empty elements costs little.
    QWebElement next = element;
    for (int steps = 0; steps < 64; ++steps) {
        QWebElement candidate = next.firstChild();
        if (candidate.isNull()) {
            QWebElement up = next;
            while (!up.isNull() && up.nextSibling().isNull())
                up = up.parent();
            if (up.isNull())
                break;
            candidate = up.nextSibling();
        }
        next = candidate;
        geometry = next.geometry();
        if (hasBox(geometry))
            return geometry.topLeft();
    }
    return element.geometry().topLeft();
}

void addTargets(const QWebElement &root, const QString &selector, const QString &attribute,
                QHash<QString, QPoint> &targets)
{
    for (const QWebElement &element : root.findAll(selector)) {
        const QString name = element.attribute(attribute);
        if (!name.isEmpty() && !targets.contains(name))
            targets.insert(name, placeOf(element));
    }
}

// A link whose whole text is one symbol (a pilcrow, "#", a section or link
// sign): the permalink marker many generators put into their headings.
bool isPermalinkMarker(const QString &text)
{
    const QString marker = text.trimmed();
    if (marker.isEmpty() || marker.size() > 2)
        return false;
    // One character, or one outside the Basic Multilingual Plane.
    if (marker.size() == 2 && !(marker.at(0).isHighSurrogate() && marker.at(1).isLowSurrogate()))
        return false;
    const uint code = marker.size() == 2 ? QChar::surrogateToUcs4(marker.at(0), marker.at(1))
                                         : marker.at(0).unicode();
    return !QChar::isLetterOrNumber(code);
}

// The text of `heading` for the outline: its permalink markers left out.
QString headingTitle(const QWebElement &heading)
{
    QString text = heading.toPlainText();
    const QWebElementCollection anchors = heading.findAll(QStringLiteral("a"));
    // From the last one, so each marker is found at or before the place of
    // the one removed after it.
    int searchFrom = -1;
    for (int i = anchors.count() - 1; i >= 0; --i) {
        const QString anchorText = anchors.at(i).toPlainText();
        if (!isPermalinkMarker(anchorText))
            continue;
        const int at = text.lastIndexOf(anchorText.trimmed(), searchFrom);
        if (at < 0)
            continue;
        text.remove(at, anchorText.trimmed().size());
        searchFrom = at - 1;
        if (searchFrom < 0)
            break;
    }
    return text.simplified();
}

} // namespace

QString documentAddress(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments)
        .toString(QUrl::FullyEncoded);
}

LoadedDocument readDocumentNavigation(const QWebElement &root, const QUrl &documentUrl)
{
    LoadedDocument document;
    document.address = documentAddress(documentUrl);
    if (root.isNull())
        return document;
    addTargets(root, QStringLiteral("[id]"), QStringLiteral("id"), document.targets);
    addTargets(root, QStringLiteral("a[name]"), QStringLiteral("name"), document.targets);

    for (const QWebElement &heading : root.findAll(QStringLiteral("h1,h2,h3,h4,h5,h6"))) {
        const QRect geometry = heading.geometry();
        if (!hasBox(geometry))
            continue;
        const QString title = headingTitle(heading);
        if (title.isEmpty())
            continue;
        const int level = heading.tagName().midRef(1).toInt();
        document.headings.push_back({level, title, geometry.topLeft()});
    }
    return document;
}

} // namespace quirex::engine
