#pragma once

#include <vector>

namespace quirex::engine
{

// The vertical extents of a laid-out document's lines of text and images, in
// document pixels, so that a page can end between two lines instead of
// through one. Pure data: filled from the web engine by collectLines().
class LineMap final
{
public:
    enum class Kind {
        Text,  // one line of text (the box of one run of text on one line)
        Image, // an image or another replaced element
    };

    // Records something occupying the rows [top, bottom). Empty or inverted
    // extents are ignored.
    void add(Kind kind, int top, int bottom);
    // Sorts and merges what was added; call once, after the last add() and
    // before the first query.
    void finish();
    bool isEmpty() const { return m_all.empty(); }

    // Where a page that would end at `position` (exclusive) should end
    // instead: the highest position in [lowest, position] that passes
    // between lines of text and images; else the highest one that passes
    // between lines of text (through an image); else the highest one that
    // passes between lines of text set tighter than their font's height,
    // where neighbouring lines overlap a little; else `position` itself.
    // Between two lines the page ends no lower than half way through the
    // space between them (at most half a line below the upper one), where
    // one line's box meets the next one's. Never returns more than
    // `position`.
    int cutAtOrAbove(int position, int lowest) const;
    // As cutAtOrAbove(), but false (and `cut` untouched) when no position in
    // [lowest, position] passes between lines.
    bool findCut(int position, int lowest, int *cut) const;

private:
    // Merged extents: pieces that overlap become one span. The heights of
    // the pieces at its two ends bound the room kept beside it.
    struct Span {
        int top;
        int bottom;
        int topPieceHeight;
        int bottomPieceHeight;
    };
    struct Piece {
        int top;
        int bottom;
    };

    // Sorts `pieces` and merges overlapping ones into spans; with
    // `splitSlightOverlaps`, two pieces that overlap by at most a quarter of
    // the lower one's height are parted half way through the overlap.
    static std::vector<Span> merge(std::vector<Piece> pieces, bool splitSlightOverlaps);
    static bool cutBetween(const std::vector<Span> &spans, int position, int lowest, int *cut);

    std::vector<Piece> m_textPieces;
    std::vector<Piece> m_imagePieces;
    std::vector<Span> m_all;   // lines of text and images
    std::vector<Span> m_text;  // lines of text only
    std::vector<Span> m_tight; // lines of text, slight overlaps parted
};

} // namespace quirex::engine
