#include "linefinder.h"

#include "documenttree.h"

#include <QFile>
#include <QSet>
#include <QStringList>
#include <QWebFrame>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

// The resources of a static library are registered by name, outside any
// namespace.
static void initPageEndsResource()
{
    Q_INIT_RESOURCE(pageends);
}

namespace quirex::engine
{

namespace
{

// Tries a position, then the one the lines above it ask for, and so on; the
// position rises each round, so this only bounds pathological layouts.
constexpr int kMaxRounds = 256;

const char kObjectName[] = "__quirexLineFinder";

// The script of pageends.js, compiled in as a resource: it connects the
// finder's request to a function that answers it with the boxes of the text
// asked for: one box per run of text on one line (client rectangles), from
// the top of the document whatever the scroll position, in document pixels
// rounded outwards. The finder is reachable from the page only during this
// script. Empty only if the resource were missing from the build.
QString pageEndsScript()
{
    static const QString script = [] {
        initPageEndsResource();
        QFile file(QStringLiteral(":/quirex/layout/pageends.js"));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromLatin1(file.readAll()).trimmed();
    }();
    return script;
}

// Elements the web engine shows inline unless a style sheet says otherwise;
// taken as inline without asking for their style.
bool isInlineTag(const QString &tag)
{
    static const QSet<QString> tags = {
        QStringLiteral("A"),     QStringLiteral("ABBR"),   QStringLiteral("B"),
        QStringLiteral("BDO"),   QStringLiteral("BIG"),    QStringLiteral("BR"),
        QStringLiteral("CITE"),  QStringLiteral("CODE"),   QStringLiteral("DEL"),
        QStringLiteral("DFN"),   QStringLiteral("EM"),     QStringLiteral("FONT"),
        QStringLiteral("I"),     QStringLiteral("INS"),    QStringLiteral("KBD"),
        QStringLiteral("LABEL"), QStringLiteral("MARK"),   QStringLiteral("Q"),
        QStringLiteral("S"),     QStringLiteral("SAMP"),   QStringLiteral("SMALL"),
        QStringLiteral("SPAN"),  QStringLiteral("STRIKE"), QStringLiteral("STRONG"),
        QStringLiteral("SUB"),   QStringLiteral("SUP"),    QStringLiteral("TIME"),
        QStringLiteral("TT"),    QStringLiteral("U"),      QStringLiteral("VAR"),
        QStringLiteral("WBR")};
    return tags.contains(tag);
}

// Images, embedded frames and form controls: boxes the text flows around.
bool isReplacedTag(const QString &tag)
{
    static const QSet<QString> tags = {
        QStringLiteral("IMG"),     QStringLiteral("SVG"),      QStringLiteral("svg"),
        QStringLiteral("CANVAS"),  QStringLiteral("VIDEO"),    QStringLiteral("AUDIO"),
        QStringLiteral("IFRAME"),  QStringLiteral("FRAME"),    QStringLiteral("OBJECT"),
        QStringLiteral("EMBED"),   QStringLiteral("INPUT"),    QStringLiteral("SELECT"),
        QStringLiteral("BUTTON"),  QStringLiteral("TEXTAREA"), QStringLiteral("METER"),
        QStringLiteral("PROGRESS")};
    return tags.contains(tag);
}

// The computed properties the finder reads.
enum Property {
    kDisplay,
    kFloat,
    kPosition,
    kLineHeight,
    kFontSize,
    kMargin,
    kMarginTop,
    kMarginBottom,
    kPadding,
    kPaddingTop,
    kPaddingBottom,
    kBorderWidth,
    kBorderTopWidth,
    kBorderBottomWidth,
};

// Their names, made once.
const QString &propertyName(Property which)
{
    static const QString names[] = {
        QStringLiteral("display"),          QStringLiteral("float"),
        QStringLiteral("position"),         QStringLiteral("line-height"),
        QStringLiteral("font-size"),        QStringLiteral("margin"),
        QStringLiteral("margin-top"),       QStringLiteral("margin-bottom"),
        QStringLiteral("padding"),          QStringLiteral("padding-top"),
        QStringLiteral("padding-bottom"),   QStringLiteral("border-width"),
        QStringLiteral("border-top-width"), QStringLiteral("border-bottom-width")};
    return names[which];
}

// The number of a computed length ("12.5px"); NaN for anything else. Plain
// decimals are read without QString's locale machinery, which costs more
// than the rest of a page end; anything else takes that way.
double parsePixels(const QStringRef &value)
{
    if (!value.endsWith(QLatin1String("px")))
        return std::nan("");
    const int length = value.size() - 2;
    char digits[32];
    bool plain = length > 0 && length < static_cast<int>(sizeof digits);
    for (int i = 0; plain && i < length; ++i) {
        const ushort u = value.at(i).unicode();
        plain = (u >= '0' && u <= '9') || u == '.' || u == '-';
        digits[i] = static_cast<char>(u);
    }
    if (plain) {
        double number = 0;
        const auto read = std::from_chars(digits, digits + length, number);
        if (read.ec == std::errc() && read.ptr == digits + length)
            return number;
    }
    bool ok = false;
    const double number = value.left(length).toDouble(&ok);
    return ok ? number : std::nan("");
}

// Adds the pairs of a comma-separated list of whole numbers as text boxes.
void addBoxes(const QString &list, LineMap &lines)
{
    long long value = 0;
    bool negative = false;
    bool haveDigits = false;
    bool haveTop = false;
    int top = 0;
    const auto flush = [&] {
        if (!haveDigits)
            return;
        const int number =
            static_cast<int>(std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX));
        if (haveTop)
            lines.add(LineMap::Kind::Text, top, number);
        else
            top = number;
        haveTop = !haveTop;
        value = 0;
        negative = false;
        haveDigits = false;
    };
    for (const QChar c : list) {
        const ushort u = c.unicode();
        if (u >= '0' && u <= '9') {
            if (value < (1LL << 40))
                value = value * 10 + (u - '0');
            haveDigits = true;
        } else if (u == '-') {
            negative = true;
        } else {
            flush();
        }
    }
    flush();
}

} // namespace

LineFinder::LineFinder(QWebFrame *frame, const QWebElement &root, const DocumentTree &tree,
                       QObject *parent)
    : QObject(parent)
    , m_frame(frame)
    , m_root(root)
    , m_tree(tree)
    , m_zoom(frame ? frame->zoomFactor() : 1.0)
    , m_info(static_cast<size_t>(tree.size()))
{
}

LineFinder::~LineFinder() = default;

int LineFinder::cutAtOrAbove(int position, int lowest)
{
    // First between lines and clear of images, then through an image.
    for (const bool avoidImages : {true, false}) {
        int cut = position;
        for (int round = 0; round < kMaxRounds; ++round) {
            m_crossing.clear();
            m_tree.crossing(cut, &m_crossing);
            int next = cut;
            for (const int node : m_crossing)
                next = std::min(next, safeAt(node, cut, avoidImages, m_crossing));
            if (next == cut)
                return cut;
            if (next < lowest)
                break;
            cut = next;
        }
    }
    return position;
}

int LineFinder::overhangAt(int cut)
{
    m_crossing.clear();
    m_tree.crossing(cut, &m_crossing);
    int reach = 0;
    for (const int node : m_crossing) {
        Info &about = info(node);
        if (about.kind != Kind::Even && about.kind != Kind::Measured)
            continue;
        if (!about.boxKnown)
            readContentBox(node, about);
        if (about.lineHeight <= 0 || cut <= about.contentTop || cut >= about.contentBottom)
            continue;
        const int glyph = glyphHeight(node);
        if (glyph > about.lineHeight)
            // At most a third of a line: more is a cut through a line, not
            // an overlap.
            reach =
                std::max(reach, std::min((glyph - about.lineHeight + 1) / 2, about.lineHeight / 3));
    }
    return reach;
}

int LineFinder::glyphHeight(int node)
{
    const int key = flow().siblingRules ? -node - 1 : context(node);
    const auto known = m_glyphHeights.find(key);
    if (known != m_glyphHeights.end())
        return known->second;
    int height = 0;
    if (installScript()) {
        m_reply.clear();
        emit textBoxesRequested(element(node), static_cast<int>(Scope::FirstCharacter), -1, -1);
        const QVector<QStringRef> values = m_reply.splitRef(QLatin1Char(','));
        if (values.size() >= 2)
            height = std::max(0, values[1].toInt() - values[0].toInt());
    }
    m_glyphHeights.emplace(key, height);
    return height;
}

// The highest position at or above `position` that passes between the lines
// of `node` itself (not those of the elements inside it).
int LineFinder::safeAt(int node, int position, bool avoidImages, const std::vector<int> &crossing)
{
    const Info &about = info(node);
    switch (about.kind) {
    case Kind::Unknown:
    case Kind::Hidden:
    case Kind::Inline:
        return position;
    case Kind::Replaced:
        return avoidImages ? m_tree.top(node) : position;
    case Kind::Even: {
        if (position <= about.contentTop || position >= about.contentBottom)
            return position;
        // Lines of the line height follow the content's top, or the last
        // line of another height above the position.
        int origin = about.contentTop;
        if (about.lines >= 0) {
            const std::vector<Line> &odd = m_lines[static_cast<size_t>(about.lines)];
            auto after = std::upper_bound(odd.begin(), odd.end(), position,
                                          [](int y, const Line &line) { return y < line.top; });
            if (after != odd.begin()) {
                const Line &line = *(after - 1);
                if (position < line.bottom)
                    return line.top;
                origin = line.bottom;
            }
        }
        return origin + (position - origin) / about.lineHeight * about.lineHeight;
    }
    case Kind::Measured:
        return m_maps[static_cast<size_t>(about.map)].cutAtOrAbove(position, INT_MIN);
    case Kind::Container:
        return safeInContainer(node, position, crossing);
    }
    return position;
}

// A block holding other blocks: where one of them is at `position`, that one
// decides; in the space between two of them, text of the block itself can
// only be there when the space is higher than their margins by a line.
int LineFinder::safeInContainer(int node, int position, const std::vector<int> &crossing)
{
    const DocumentTree &tree = m_tree;
    bool inlineHere = false;
    for (const int other : crossing) {
        if (tree.parent(other) != node)
            continue;
        if (isBlockLevel(other))
            return position;
        if (info(other).kind != Kind::Hidden)
            inlineHere = true;
    }
    const DocumentTree::Around around = tree.around(node, position);
    if (!inlineHere) {
        Info &about = m_info[static_cast<size_t>(node)];
        if (!about.boxKnown)
            readContentBox(node, about);
        const int before = around.before >= 0 ? tree.child(node, around.before) : -1;
        const int after = around.after >= 0 ? tree.child(node, around.after) : -1;
        const bool beforeIsBlock = before < 0 || isBlockLevel(before);
        const bool afterIsBlock = after < 0 || isBlockLevel(after);
        if (beforeIsBlock && afterIsBlock) {
            const int top = before >= 0 ? tree.bottom(before) + 1 : about.contentTop;
            const int bottom = after >= 0 ? tree.top(after) : about.contentBottom;
            // Margins only narrow the space; one lower than a line needs
            // none of them read.
            if (about.lineHeight > 0 && static_cast<long long>(bottom) - top < about.lineHeight)
                return position;
            int margin = 0;
            if (before >= 0)
                margin = std::max(margin, margins(before).marginBottom);
            if (after >= 0)
                margin = std::max(margin, margins(after).marginTop);
            if (about.lineHeight > 0 &&
                static_cast<long long>(bottom) - top - margin < about.lineHeight)
                return position;
        }
    }
    const int map = measure(node, Scope::TextBetween, around.before, around.after);
    return m_maps[static_cast<size_t>(map)].cutAtOrAbove(position, INT_MIN);
}

LineFinder::Info &LineFinder::info(int node)
{
    Info &about = m_info[static_cast<size_t>(node)];
    if (about.kind == Kind::Unknown)
        classify(node, about);
    return about;
}

double LineFinder::pixels(int node, const QString &property)
{
    const QString value = element(node).styleProperty(property, QWebElement::ComputedStyle);
    return parsePixels(QStringRef(&value));
}

void LineFinder::topAndBottom(int node, const QString &shorthand, const QString &top,
                              const QString &bottom, double *topValue, double *bottomValue)
{
    // One to four values: top, right, bottom, left; the bottom is the top
    // when fewer than three are given.
    const QString value = element(node).styleProperty(shorthand, QWebElement::ComputedStyle);
    const QVector<QStringRef> sides = value.splitRef(QLatin1Char(' '));
    if (!value.isEmpty() && sides.size() <= 4) {
        *topValue = parsePixels(sides[0]);
        *bottomValue = parsePixels(sides[sides.size() >= 3 ? 2 : 0]);
        if (!std::isnan(*topValue) && !std::isnan(*bottomValue))
            return;
    }
    // Keywords, functions or an empty answer: side by side, as they are.
    *topValue = pixels(node, top);
    *bottomValue = pixels(node, bottom);
}

// The height of a line of the block in document pixels, as the web engine
// lays it out (whole pixels, rounded down); 0 when unknown.
int LineFinder::lineHeight(int node)
{
    double height = pixels(node, propertyName(kLineHeight));
    if (std::isnan(height))
        return 0;
    // A line height given as a bare factor reads back divided by the zoom;
    // the factor itself is where it was declared. Real line heights below
    // ten pixels are rare enough to ask.
    const double fontSize = height < 10 ? pixels(node, propertyName(kFontSize)) : 0;
    if (std::isnan(fontSize))
        return 0;
    if (height < fontSize / 2) {
        height = std::nan("");
        for (QWebElement at = element(node); !at.isNull(); at = at.parent()) {
            const QString declared =
                at.styleProperty(propertyName(kLineHeight), QWebElement::CascadedStyle);
            if (declared.isEmpty())
                continue;
            bool ok = false;
            const double factor = declared.toDouble(&ok);
            if (ok)
                height = factor * std::floor(fontSize * m_zoom + 0.5) / m_zoom;
            break;
        }
        if (std::isnan(height))
            return 0;
    }
    // Style values carry single-precision noise (18.4 reads 18.39999...).
    return static_cast<int>(std::floor(height * m_zoom + 0.01));
}

// A block of lines, not all of one height (bold or larger text makes a
// line taller): every inline element that spans exactly one line box (its
// box is as high as a line or a little higher) marks where that line lies,
// and the lines between such marks are of the block's line height. Holds
// when the marks and the content box agree to the pixel; false otherwise.
bool LineFinder::findLines(int node, Info &about)
{
    const int pitch = about.lineHeight;
    std::vector<Line> marks;
    std::vector<int> pending{node};
    while (!pending.empty()) {
        const int parent = pending.back();
        pending.pop_back();
        for (int k = 0; k < m_tree.childCount(parent); ++k) {
            const int child = m_tree.child(parent, k);
            if (info(child).kind != Kind::Inline)
                continue;
            pending.push_back(child);
            const int height = m_tree.bottom(child) + 1 - m_tree.top(child);
            if (height >= pitch - 1 && height < 2 * pitch)
                marks.push_back({m_tree.top(child), m_tree.bottom(child) + 1});
        }
    }
    std::sort(marks.begin(), marks.end(),
              [](const Line &a, const Line &b) { return a.top < b.top; });
    // A whole number of lines from `from` to `to`, to the pixel.
    const auto wholeLines = [pitch](int from, int to) {
        const int height = to - from;
        const int lines = (height + pitch / 2) / pitch;
        return height >= -1 && std::abs(height - lines * pitch) <= 1;
    };
    std::vector<Line> lines;
    int at = about.contentTop;
    for (const Line &mark : marks) {
        if (!lines.empty() && mark.top < lines.back().bottom) {
            // On the line already marked (marks of one line share it).
            lines.back().top = std::min(lines.back().top, mark.top);
            lines.back().bottom = std::max(lines.back().bottom, mark.bottom);
            at = lines.back().bottom;
            continue;
        }
        if (!wholeLines(at, mark.top))
            return false;
        lines.push_back(mark);
        at = mark.bottom;
    }
    if (!wholeLines(at, about.contentBottom))
        return false;
    // Only lines of another height need keeping.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [pitch](const Line &line) {
                                   return std::abs(line.bottom - line.top - pitch) <= 1;
                               }),
                lines.end());
    if (!lines.empty()) {
        about.lines = static_cast<int>(m_lines.size());
        m_lines.push_back(std::move(lines));
    }
    return true;
}

LineFinder::Tag LineFinder::tag(int node)
{
    Info &about = m_info[static_cast<size_t>(node)];
    if (about.tag == Tag::Unknown) {
        const QString name = element(node).tagName();
        if (isReplacedTag(name)) {
            about.tag = Tag::Replaced;
        } else if (isInlineTag(name)) {
            about.tag = Tag::Inline;
        } else {
            about.tagDisplay = defaultDisplay(name);
            about.tag = about.tagDisplay == DefaultDisplay::Unknown ? Tag::Other : Tag::Block;
        }
    }
    return about.tag;
}

void LineFinder::readAttributes(int node, Info &about)
{
    about.attributesKnown = true;
    const QWebElement self = element(node);
    if (!self.hasAttributes())
        return;
    about.anyAttribute = true;
    about.styleAttribute = self.hasAttribute(QStringLiteral("style"));
    // An image or table with align=left or right floats; hidden hides.
    about.displayAttribute = about.styleAttribute || self.hasAttribute(QStringLiteral("align")) ||
                             self.hasAttribute(QStringLiteral("hidden"));
}

// True when the web engine's own style sheet alone gives the element its
// display, float and position: a common block without an inline style or
// an attribute that floats or hides it, whose parent has no inline style
// either (a flex or grid parent changes the display of its children). The
// style sheets of the document are checked once, for all elements.
bool LineFinder::styledByTag(int node)
{
    if (tag(node) != Tag::Block)
        return false;
    Info &about = m_info[static_cast<size_t>(node)];
    if (!about.attributesKnown)
        readAttributes(node, about);
    if (about.displayAttribute)
        return false;
    const int parent = m_tree.parent(node);
    if (parent >= 0) {
        Info &above = m_info[static_cast<size_t>(parent)];
        if (!above.attributesKnown)
            readAttributes(parent, above);
        return !above.styleAttribute;
    }
    if (m_rootStyled < 0)
        m_rootStyled = m_root.hasAttribute(QStringLiteral("style")) ? 1 : 0;
    return m_rootStyled == 0;
}

const FlowDeclarations &LineFinder::flow()
{
    if (!m_flowKnown) {
        m_flowKnown = true;
        m_flow = probeFlowDeclarations(m_frame);
    }
    return m_flow;
}

// Elements of one context have the same computed values for what the style
// sheets of the document leave alone (see FlowDeclarations::boxes), and for
// everything when no rule tells siblings apart (FlowDeclarations::
// siblingRules): the same tag, no attribute but class and the same class,
// and a parent of one context too. Every other element is a context of its
// own. The root element and what lies above it are context 0.
int LineFinder::context(int node)
{
    m_chain.clear();
    int at = node;
    while (at >= 0 && m_info[static_cast<size_t>(at)].context < 0) {
        m_chain.push_back(at);
        at = m_tree.parent(at);
    }
    int above = at >= 0 ? m_info[static_cast<size_t>(at)].context : 0;
    for (auto next = m_chain.rbegin(); next != m_chain.rend(); ++next) {
        Info &about = m_info[static_cast<size_t>(*next)];
        if (!about.attributesKnown)
            readAttributes(*next, about);
        const QWebElement self = element(*next);
        QString kind = self.tagName();
        if (about.anyAttribute) {
            // A class is matched alike by elements that carry the same one;
            // any other attribute may be matched by a rule for it alone.
            const QStringList names = self.attributeNames();
            const bool onlyClass = names.size() == 1 && names.front() == QLatin1String("class");
            kind = onlyClass ? kind + QLatin1Char(' ') + self.attribute(names.front()) : QString();
        }
        if (kind.isEmpty()) {
            about.context = m_nextContext++;
        } else {
            const QPair<int, QString> key(above, kind);
            auto known = m_contexts.find(key);
            if (known == m_contexts.end())
                known = m_contexts.insert(key, m_nextContext++);
            about.context = known.value();
        }
        above = about.context;
    }
    return m_info[static_cast<size_t>(node)].context;
}

LineFinder::Display LineFinder::display(int node)
{
    Info &about = m_info[static_cast<size_t>(node)];
    if (about.display != Display::Unknown)
        return about.display;
    if (!flow().display && styledByTag(node)) {
        about.display =
            about.tagDisplay == DefaultDisplay::Flow ? Display::Flow : Display::OtherBlock;
        return about.display;
    }
    const int shared = flow().siblingRules ? -1 : context(node);
    if (shared >= 0) {
        const auto known = m_displays.find(shared);
        if (known != m_displays.end()) {
            about.display = known->second;
            return about.display;
        }
    }
    const QString value =
        element(node).styleProperty(propertyName(kDisplay), QWebElement::ComputedStyle);
    if (value.isEmpty())
        about.display = Display::Missing;
    else if (value == QLatin1String("none"))
        about.display = Display::None;
    else if (value.startsWith(QLatin1String("inline")))
        about.display = Display::Inline;
    else if (value == QLatin1String("block") || value == QLatin1String("list-item") ||
             value == QLatin1String("flow-root"))
        about.display = Display::Flow;
    else
        about.display = Display::OtherBlock;
    if (shared >= 0)
        m_displays.emplace(shared, about.display);
    return about.display;
}

bool LineFinder::isBlockLevel(int node)
{
    Info &about = m_info[static_cast<size_t>(node)];
    if (!about.levelKnown) {
        about.levelKnown = true;
        const Tag kind = tag(node);
        if (kind == Tag::Inline || kind == Tag::Replaced) {
            about.blockLevel = false;
            return false;
        }
        const Display shown = display(node);
        // Floated and positioned elements are made blocks by the web engine,
        // so an element shown inline is always in the flow of its lines.
        if (shown == Display::Missing || shown == Display::None || shown == Display::Inline) {
            about.blockLevel = false;
        } else if (!flow().outOfFlow && styledByTag(node)) {
            about.blockLevel = true;
        } else {
            const int shared = flow().siblingRules ? -1 : context(node);
            const auto known = shared >= 0 ? m_inFlow.find(shared) : m_inFlow.end();
            if (known != m_inFlow.end()) {
                about.blockLevel = known->second;
            } else {
                const QWebElement self = element(node);
                const QString position =
                    self.styleProperty(propertyName(kPosition), QWebElement::ComputedStyle);
                about.blockLevel =
                    self.styleProperty(propertyName(kFloat), QWebElement::ComputedStyle) ==
                        QLatin1String("none") &&
                    position != QLatin1String("absolute") && position != QLatin1String("fixed");
                if (shared >= 0)
                    m_inFlow.emplace(shared, bool(about.blockLevel));
            }
        }
    }
    return about.blockLevel;
}

const LineFinder::Info &LineFinder::margins(int node)
{
    Info &about = m_info[static_cast<size_t>(node)];
    if (about.marginsKnown)
        return about;
    about.marginsKnown = true;
    // Only positive margins keep text away; a negative one counts as none,
    // so that doubt leads to asking the web engine.
    const auto margin = [&](double value) {
        return std::isnan(value) ? 0 : static_cast<int>(std::lround(std::max(0.0, value) * m_zoom));
    };
    double top = 0;
    double bottom = 0;
    topAndBottom(node, propertyName(kMargin), propertyName(kMarginTop), propertyName(kMarginBottom),
                 &top, &bottom);
    about.marginTop = margin(top);
    about.marginBottom = margin(bottom);
    return about;
}

void LineFinder::classify(int node, Info &about)
{
    const DocumentTree &tree = m_tree;
    if (tree.bottom(node) < tree.top(node)) {
        about.kind = Kind::Hidden;
        return;
    }
    const Tag kind = tag(node);
    if (kind == Tag::Replaced) {
        about.kind = Kind::Replaced;
        return;
    }
    if (kind == Tag::Inline) {
        about.kind = Kind::Inline;
        return;
    }
    const Display shown = display(node);
    if (shown == Display::None) {
        about.kind = Kind::Hidden;
        return;
    }
    if (shown == Display::Inline) {
        about.kind = Kind::Inline;
        return;
    }

    if (!tree.childrenKnown(node)) {
        about.kind = Kind::Measured;
        about.map = measure(node, Scope::AllText, -1, -1);
        return;
    }
    for (int k = 0; k < tree.childCount(node); ++k) {
        if (isBlockLevel(tree.child(node, k))) {
            about.kind = Kind::Container;
            return;
        }
    }
    readContentBox(node, about);
    // Room for one line only: wherever the line sits (a table cell centres
    // its content), it lies within the content box.
    const int height = about.contentBottom - about.contentTop;
    if (about.lineHeight > 0 && height < 2 * about.lineHeight) {
        about.kind = Kind::Even;
        about.lineHeight = std::max(height, 1);
        return;
    }
    // Only text and inline elements: a block of lines. When they are all as
    // high as the block's line height (the content is a whole number of
    // lines) and start at the top of the content, they follow from the
    // style; table cells place their content by vertical alignment.
    const bool flowsFromTop = shown == Display::Flow;
    if (flowsFromTop && about.lineHeight > 0 && height >= 0) {
        const long long lines = (height + about.lineHeight / 2) / about.lineHeight;
        if (std::llabs(height - lines * about.lineHeight) <= 1) {
            about.kind = Kind::Even;
            return;
        }
        if (findLines(node, about)) {
            about.kind = Kind::Even;
            return;
        }
    }
    about.kind = Kind::Measured;
    about.map = measure(node, Scope::Lines, -1, -1);
}

void LineFinder::readContentBox(int node, Info &about)
{
    // Manuals repeat a few kinds of block many times over: each kind is
    // read once.
    const int shared = flow().boxes && flow().siblingRules ? -1 : context(node);
    const auto known = shared >= 0 ? m_boxes.find(shared) : m_boxes.end();
    Box box;
    if (known != m_boxes.end()) {
        box = known->second;
    } else {
        double border[2];
        double padding[2];
        topAndBottom(node, propertyName(kBorderWidth), propertyName(kBorderTopWidth),
                     propertyName(kBorderBottomWidth), &border[0], &border[1]);
        topAndBottom(node, propertyName(kPadding), propertyName(kPaddingTop),
                     propertyName(kPaddingBottom), &padding[0], &padding[1]);
        const auto edge = [&](int side) {
            const double width = border[side];
            const double space = padding[side];
            return static_cast<int>(std::lround(
                ((std::isnan(width) ? 0 : width) + (std::isnan(space) ? 0 : space)) * m_zoom));
        };
        box = {edge(0), edge(1), lineHeight(node)};
        if (shared >= 0)
            m_boxes.emplace(shared, box);
    }
    about.contentTop = m_tree.top(node) + box.edgeTop;
    about.contentBottom = m_tree.bottom(node) + 1 - box.edgeBottom;
    about.lineHeight = box.lineHeight;
    about.boxKnown = true;
}

int LineFinder::measure(int node, Scope scope, int after, int before)
{
    const std::tuple<int, int, int> key{node, after, before};
    if (scope == Scope::TextBetween) {
        const auto found = m_directMaps.find(key);
        if (found != m_directMaps.end())
            return found->second;
    }
    LineMap map;
    if (installScript()) {
        m_reply.clear();
        emit textBoxesRequested(element(node), static_cast<int>(scope), after, before);
        addBoxes(m_reply, map);
    } else {
        // Without the script side nothing is known about the lines: the
        // whole block counts as one.
        map.add(LineMap::Kind::Text, m_tree.top(node), m_tree.bottom(node) + 1);
    }
    map.finish();
    m_maps.push_back(std::move(map));
    const int index = static_cast<int>(m_maps.size()) - 1;
    if (scope == Scope::TextBetween)
        m_directMaps.emplace(key, index);
    return index;
}

bool LineFinder::installScript()
{
    if (m_scriptTried)
        return m_scriptReady;
    m_scriptTried = true;
    if (!m_frame)
        return false;
    const QString install = pageEndsScript();
    if (install.isEmpty())
        return false;
    m_frame->addToJavaScriptWindowObject(QLatin1String(kObjectName), this);
    const QString script =
        install +
        QStringLiteral("(window.%1, %2)").arg(QLatin1String(kObjectName)).arg(m_zoom, 0, 'g', 17);
    m_scriptReady = m_frame->evaluateJavaScript(script).toBool();
    return m_scriptReady;
}

QWebElement LineFinder::element(int node)
{
    constexpr int kMarkEvery = 64;
    const int parent = m_tree.parent(node);
    auto known = m_children.find(parent);
    if (known == m_children.end()) {
        Siblings children;
        children.last = (parent < 0 ? m_root : element(parent)).firstChild();
        children.marks.push_back(children.last);
        known = m_children.emplace(parent, std::move(children)).first;
    }
    Siblings &children = known->second;
    const int index = m_tree.indexInParent(node);
    int at = children.lastIndex;
    QWebElement child = children.last;
    const int mark = std::min(index / kMarkEvery, static_cast<int>(children.marks.size()) - 1);
    if (std::abs(index - mark * kMarkEvery) < std::abs(index - at)) {
        at = mark * kMarkEvery;
        child = children.marks[static_cast<size_t>(mark)];
    }
    while (at < index && !child.isNull()) {
        child = child.nextSibling();
        ++at;
        if (at == kMarkEvery * static_cast<int>(children.marks.size()))
            children.marks.push_back(child);
    }
    while (at > index && !child.isNull()) {
        child = child.previousSibling();
        --at;
    }
    // Past the last child: the document no longer has the element.
    if (child.isNull())
        return QWebElement();
    children.last = child;
    children.lastIndex = at;
    return child;
}

void LineFinder::setTextBoxes(const QString &boxes)
{
    m_reply = boxes;
}

} // namespace quirex::engine
