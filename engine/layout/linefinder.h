#pragma once

#include "flowstyleprobe.h"
#include "linemap.h"

#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QWebElement>

#include <cstdint>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

class QWebFrame;

namespace quirex::engine
{

class DocumentTree;

// Finds where a page may end between two lines of text of a laid-out
// document. The lines of a block of even lines (the usual paragraph, list
// item or listing) follow from its box and computed style alone; for other
// blocks (table cells, lines of mixed heights, text beside block children)
// the web engine is asked, once per block, for the boxes of its text. So the
// cost grows with the number of page ends, not with the length of the
// document. Each computed value costs the web engine a call of its own, so
// values are taken from the tag where the style sheets leave them alone, and
// read once for all elements alike where no rule tells siblings apart (see
// FlowDeclarations); a look at the style sheets, once, tells which.
class LineFinder final : public QObject
{
    Q_OBJECT

public:
    // `tree` holds the elements below `root` in the document laid out in
    // `frame`, as the points scan recorded them; it must outlive the finder.
    LineFinder(QWebFrame *frame, const QWebElement &root, const DocumentTree &tree,
               QObject *parent = nullptr);
    ~LineFinder() override;

    // The highest position in [lowest, position] at which a page may end
    // without cutting through a line of text or an image; else the highest
    // one that cuts through an image but no line of text; else `position`.
    int cutAtOrAbove(int position, int lowest);
    // How far the glyphs of the lines of text beside `cut` (a position
    // cutAtOrAbove() returned) reach across it, in document pixels: a font
    // whose glyph boxes are taller than its lines overlaps the neighbouring
    // lines by half the difference. 0 where the lines hold their glyphs.
    int overhangAt(int cut);

Q_SIGNALS:
    // Asks the document's script side for the boxes of text of `element`:
    // `scope` 0, a block of lines with its inline elements; 1, all its text;
    // 2, only what lies directly in it between its children `after` and
    // `before` (indices among its element children, -1 for its start or
    // end); 3, the first character of its text. The answer comes back
    // through setTextBoxes().
    void textBoxesRequested(const QWebElement &element, int scope, int after, int before);

public Q_SLOTS:
    // "top,bottom,top,bottom,..." in document pixels.
    void setTextBoxes(const QString &boxes);

private:
    enum class Kind : std::uint8_t {
        Unknown,
        Hidden,    // no box
        Replaced,  // image, embedded frame, form control
        Inline,    // its lines belong to the block around it
        Even,      // a block of lines of one height, known from its style
        Measured,  // a block whose text boxes the web engine reported
        Container, // a block holding other blocks
    };
    // The computed display of an element, as far as the finder tells
    // displays apart.
    enum class Display : std::uint8_t {
        Unknown, // not read yet
        Missing, // the web engine gave no value
        None,
        Inline,     // inline, inline-block, inline-table, ...
        Flow,       // block, list-item, flow-root: lines start at the content's top
        OtherBlock, // table cells, flex boxes and other boxes of their own
    };
    // What the tag of an element tells without reading its style.
    enum class Tag : std::uint8_t {
        Unknown, // not looked at yet
        Inline,
        Replaced,
        Block, // a common block: see defaultDisplay()
        Other,
    };
    struct Info {
        Kind kind = Kind::Unknown;
        Tag tag = Tag::Unknown;
        DefaultDisplay tagDisplay = DefaultDisplay::Unknown;
        Display display = Display::Unknown;
        // One per element of the document: kept small.
        bool attributesKnown : 1;
        bool anyAttribute : 1;
        bool styleAttribute : 1;   // an inline style
        bool displayAttribute : 1; // style, align or hidden
        bool levelKnown : 1;
        bool blockLevel : 1; // in normal flow, one above the other
        bool marginsKnown : 1;
        bool boxKnown : 1;
        Info()
            : attributesKnown(false)
            , anyAttribute(false)
            , styleAttribute(false)
            , displayAttribute(false)
            , levelKnown(false)
            , blockLevel(false)
            , marginsKnown(false)
            , boxKnown(false)
        {
        }
        int marginTop = 0;
        int marginBottom = 0;
        // Even and Container: the content box and the line height.
        int contentTop = 0;
        int contentBottom = 0;
        int lineHeight = 0;
        int lines = -1;   // Even: index into m_lines, when some lines differ
        int map = -1;     // Measured: index into m_maps
        int context = -1; // see context()
    };
    // Border and padding (top and bottom, in document pixels) and line
    // height, as readContentBox() reads them.
    struct Box {
        int edgeTop;
        int edgeBottom;
        int lineHeight;
    };

    int safeAt(int node, int position, bool avoidImages, const std::vector<int> &crossing);
    int safeInContainer(int node, int position, const std::vector<int> &crossing);
    Info &info(int node);
    void classify(int node, Info &info);
    bool isBlockLevel(int node);
    const FlowDeclarations &flow();
    int context(int node);
    Tag tag(int node);
    void readAttributes(int node, Info &about);
    bool styledByTag(int node);
    Display display(int node);
    int lineHeight(int node);
    bool findLines(int node, Info &about);
    void readContentBox(int node, Info &about);
    const Info &margins(int node);
    double pixels(int node, const QString &property);
    // The top and bottom values of a property given for four sides (margin,
    // padding, border-width), read through its shorthand: one call to the
    // web engine instead of two.
    void topAndBottom(int node, const QString &shorthand, const QString &top, const QString &bottom,
                      double *topValue, double *bottomValue);
    enum class Scope { Lines = 0, AllText = 1, TextBetween = 2, FirstCharacter = 3 };
    // The height of the glyph box of the first character of the element's
    // text (0 when it has none), read once for all elements of a context.
    int glyphHeight(int node);
    // Asks for the text boxes (see textBoxesRequested()) and keeps them;
    // returns their index in m_maps.
    int measure(int node, Scope scope, int after, int before);
    bool installScript();
    // The element of a node of the tree.
    QWebElement element(int node);

    QWebFrame *m_frame;
    QWebElement m_root;
    const DocumentTree &m_tree;
    // The children of the nodes looked at, by parent node (-1: the root).
    // The children of a parent looked at: found by walking from the one
    // handed out last, or from a mark every so many children, so that a
    // parent of many children is walked about once, and only so far.
    struct Siblings {
        std::vector<QWebElement> marks; // children 0, kMarkEvery, 2 * kMarkEvery, ...
        QWebElement last;
        int lastIndex = 0;
    };
    std::unordered_map<int, Siblings> m_children;
    double m_zoom;
    std::vector<Info> m_info;
    std::vector<LineMap> m_maps;
    // Lines of blocks of mostly even lines that are of another height.
    struct Line {
        int top;
        int bottom; // exclusive
    };
    std::vector<std::vector<Line>> m_lines;
    // Text between two children: (node, after, before) -> m_maps index.
    std::map<std::tuple<int, int, int>, int> m_directMaps;
    std::vector<int> m_crossing;
    FlowDeclarations m_flow;
    bool m_flowKnown = false;
    // Contexts by the context of the parent and the tag name (and class);
    // what was read for a context.
    QHash<QPair<int, QString>, int> m_contexts;
    int m_nextContext = 1;
    std::unordered_map<int, Box> m_boxes;
    // Glyph heights by context (see glyphHeight()), or by node (negated, less
    // one) where every element is a context of its own.
    std::unordered_map<int, int> m_glyphHeights;
    std::unordered_map<int, Display> m_displays;
    std::unordered_map<int, bool> m_inFlow;
    std::vector<int> m_chain;
    int m_rootStyled = -1; // whether the root element has a style attribute
    QString m_reply;
    bool m_scriptTried = false;
    bool m_scriptReady = false;
};

} // namespace quirex::engine
