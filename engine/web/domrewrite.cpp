#include "domrewrite.h"

#include <QStringList>
#include <QWebElement>
#include <QWebElementCollection>

namespace quirex::engine
{

QString GetAttributeValue(const QString &markup, const QString &name)
{
    if (name.isEmpty())
        return {};
    const int found = markup.indexOf(name, 0, Qt::CaseInsensitive);
    if (found < 0)
        return {};

    int start = found + name.size();
    while (start < markup.size() && (markup.at(start) == u' ' || markup.at(start) == u'='))
        ++start;
    if (start >= markup.size())
        return {};

    // The closing character is searched from the character right after the
    // value's first one, so an empty quoted value ("") and a one-character
    // value stay what they are instead of swallowing the next attribute.
    if (markup.at(start) == u'"') {
        const int close = markup.indexOf(u'"', start + 1);
        return close < 0 ? markup.mid(start) : markup.mid(start, close - start + 1);
    }
    const int space = markup.indexOf(u' ', start + 1);
    return space < 0 ? markup.mid(start) : markup.mid(start, space - start);
}

QString videoReplacement(const QString &outerMarkup)
{
    QString replacement = QStringLiteral("<img ");
    const QString width = GetAttributeValue(outerMarkup, QStringLiteral("width"));
    if (!width.isEmpty())
        replacement += QLatin1String("width=") + width + u' ';
    const QString height = GetAttributeValue(outerMarkup, QStringLiteral("height"));
    if (!height.isEmpty())
        replacement += QLatin1String("height=") + height + u' ';
    const QString poster = GetAttributeValue(outerMarkup, QStringLiteral("poster"));
    if (poster.isEmpty())
        return QStringLiteral("VIDEO");
    return replacement + QLatin1String("src=") + poster + u'>';
}

MarkedParagraph insertParagraphMarkers(const QString &innerMarkup)
{
    if (innerMarkup.size() <= paragraphLengthThreshold)
        return {false, innerMarkup};

    QStringList words = innerMarkup.split(u' ', Qt::KeepEmptyParts);
    int count = 0;
    bool outsideTag = true;
    bool changed = false;
    for (QString &word : words) {
        const int lt = word.lastIndexOf(u'<');
        const int gt = word.lastIndexOf(u'>');
        if (lt < gt) {
            // The word ends after a tag has closed: text starts a new run here.
            outsideTag = true;
            count = 1;
        } else if (lt > gt) {
            // The word opens a tag whose attributes follow.
            outsideTag = false;
        } else if (outsideTag) {
            if (++count >= wordsPerMarker) {
                word += paragraphMarker;
                changed = true;
                count = 0;
            }
        }
    }
    if (!changed)
        return {false, innerMarkup};
    return {true, words.join(u' ')};
}

void replaceVideos(const QWebElement &root)
{
    if (root.isNull())
        return;
    // findAll() is a snapshot, so replacing elements does not disturb the walk.
    const QWebElementCollection videos = root.findAll(QStringLiteral("video"));
    for (int i = 0; i < videos.count(); ++i) {
        QWebElement video = videos.at(i);
        video.setOuterXml(videoReplacement(video.toOuterXml()));
    }
}

void insertParagraphMarkers(const QWebElement &root)
{
    if (root.isNull())
        return;
    const QWebElementCollection paragraphs = root.findAll(QStringLiteral("p"));
    for (int i = 0; i < paragraphs.count(); ++i) {
        QWebElement paragraph = paragraphs.at(i);
        const MarkedParagraph marked = insertParagraphMarkers(paragraph.toInnerXml());
        if (marked.changed)
            paragraph.setInnerXml(marked.markup);
    }
}

} // namespace quirex::engine
