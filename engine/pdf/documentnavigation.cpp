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
        const QString title = heading.toPlainText().simplified();
        if (title.isEmpty())
            continue;
        const int level = heading.tagName().midRef(1).toInt();
        document.headings.push_back({level, title, geometry.topLeft()});
    }
    return document;
}

} // namespace quirex::engine
