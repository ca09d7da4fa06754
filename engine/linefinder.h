#pragma once

#include "linemap.h"

#include <QObject>
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
// document.
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

Q_SIGNALS:
    // Asks the document's script side for the boxes of text of `element`:
    // `scope` 0, a block of lines with its inline elements; 1, all its text;
    // 2, only what lies directly in it between its children `after` and
    // `before` (indices among its element children, -1 for its start or
    // end). The answer comes back through setTextBoxes().
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
    struct Info {
        Kind kind = Kind::Unknown;
        bool levelKnown = false;
        bool blockLevel = false; // in normal flow, one above the other
        bool marginsKnown = false;
        bool boxKnown = false;
        int marginTop = 0;
        int marginBottom = 0;
        // Even and Container: the content box and the line height.
        int contentTop = 0;
        int contentBottom = 0;
        int lineHeight = 0;
        int lines = -1; // Even: index into m_lines, when some lines differ
        int map = -1; // Measured: index into m_maps
    };

    int safeAt(int node, int position, bool avoidImages, const std::vector<int> &crossing);
    int safeInContainer(int node, int position, const std::vector<int> &crossing);
    Info &info(int node);
    void classify(int node, Info &info);
    bool isBlockLevel(int node);
    int lineHeight(int node);
    bool findLines(int node, Info &about);
    void readContentBox(int node, Info &about);
    const Info &margins(int node);
    double pixels(int node, const QString &property);
    enum class Scope { Lines = 0, AllText = 1, TextBetween = 2 };
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
    std::unordered_map<int, std::vector<QWebElement>> m_children;
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
    QString m_reply;
    bool m_scriptTried = false;
    bool m_scriptReady = false;
};

} // namespace quirex::engine
