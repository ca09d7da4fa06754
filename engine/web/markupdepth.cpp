#include "markupdepth.h"

#include <QSet>

#include <algorithm>

namespace quirex::engine
{

namespace
{

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ':' || c == '.';
}

// Elements that never hold others, and those the parser closes by itself.
const QSet<QByteArray> &uncountedElements()
{
    static const QSet<QByteArray> names = {
        // Void elements.
        "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img", "image",
        "input", "isindex", "keygen", "link", "meta", "param", "source", "track", "wbr",
        // End tag optional.
        "html", "head", "body", "p", "li", "dt", "dd", "rb", "rt", "rtc", "rp", "optgroup",
        "option", "colgroup", "caption", "thead", "tbody", "tfoot", "tr", "td", "th", "menuitem",
        // A new one closes the open one.
        "a", "nobr"};
    return names;
}

// Elements whose content is text up to their own end tag.
bool isRawText(const QByteArray &name)
{
    static const QSet<QByteArray> names = {"script",   "style",    "textarea", "title",
                                           "xmp",      "iframe",   "noembed",  "noframes",
                                           "noscript", "plaintext"};
    return names.contains(name);
}

} // namespace

int markupNestingDepth(const QByteArray &html)
{
    const char *const begin = html.constData();
    const char *const end = begin + html.size();
    const char *at = begin;
    int depth = 0;
    int deepest = 0;
    QByteArray name;
    while ((at = std::find(at, end, '<')) != end) {
        ++at;
        if (at == end)
            break;
        if (*at == '!') {
            // A comment ends at "-->", any other declaration at ">".
            const bool comment = end - at >= 3 && at[1] == '-' && at[2] == '-';
            if (comment) {
                static const char kClose[] = "-->";
                at = std::search(at + 3, end, kClose, kClose + 3);
                at = at == end ? end : at + 3;
            } else {
                at = std::find(at, end, '>');
            }
            continue;
        }
        const bool closing = *at == '/';
        if (closing)
            ++at;
        const char *nameStart = at;
        while (at != end && isNameChar(*at))
            ++at;
        if (at == nameStart)
            continue; // "<" as text, "<?...>", "</ >"
        name = QByteArray(nameStart, static_cast<int>(at - nameStart)).toLower();
        // The rest of the tag, quoted attribute values included.
        char quote = 0;
        const char *last = nullptr;
        for (; at != end; ++at) {
            if (quote) {
                if (*at == quote)
                    quote = 0;
            } else if (*at == '"' || *at == '\'') {
                quote = *at;
            } else if (*at == '>') {
                break;
            }
            last = at;
        }
        const bool selfClosed = last && *last == '/';
        if (uncountedElements().contains(name))
            continue;
        if (closing) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (selfClosed)
            continue;
        if (isRawText(name)) {
            // Skip to "</name", compared without regard to case.
            const QByteArray close = "</" + name;
            const char *from = at;
            at = std::search(
                from, end, close.constData(), close.constData() + close.size(),
                [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
            continue;
        }
        deepest = std::max(deepest, ++depth);
    }
    return deepest;
}

} // namespace quirex::engine
