#include "linemap.h"

#include <algorithm>
#include <climits>

namespace quirex::engine
{

void LineMap::add(Kind kind, int top, int bottom)
{
    if (bottom <= top)
        return;
    (kind == Kind::Text ? m_textPieces : m_imagePieces).push_back({top, bottom});
}

void LineMap::finish()
{
    std::vector<Piece> all = m_textPieces;
    all.insert(all.end(), m_imagePieces.begin(), m_imagePieces.end());
    m_all = merge(std::move(all), false);
    m_text = merge(m_textPieces, false);
    m_tight = merge(std::move(m_textPieces), true);
    m_textPieces.clear();
    m_imagePieces.clear();
    m_textPieces.shrink_to_fit();
    m_imagePieces.shrink_to_fit();
}

std::vector<LineMap::Span> LineMap::merge(std::vector<Piece> pieces, bool splitSlightOverlaps)
{
    std::sort(pieces.begin(), pieces.end(), [](const Piece &a, const Piece &b) {
        return a.top < b.top || (a.top == b.top && a.bottom < b.bottom);
    });
    std::vector<Span> spans;
    for (const Piece &piece : pieces) {
        const int height = piece.bottom - piece.top;
        if (!spans.empty() && piece.top < spans.back().bottom) {
            Span &last = spans.back();
            const long long overlap = static_cast<long long>(last.bottom) - piece.top;
            // Lines set tighter than their font (line-height below the
            // font's height) overlap their neighbours by a sliver; their
            // boxes meet half way through it.
            if (splitSlightOverlaps && piece.bottom > last.bottom &&
                overlap * 4 <= std::min(height, last.bottomPieceHeight)) {
                const int middle = piece.top + static_cast<int>(overlap / 2);
                if (middle > last.top) {
                    last.bottom = middle;
                    spans.push_back({middle, piece.bottom, height, height});
                    continue;
                }
            }
            if (piece.bottom > last.bottom) {
                last.bottom = piece.bottom;
                last.bottomPieceHeight = height;
            }
            continue;
        }
        spans.push_back({piece.top, piece.bottom, height, height});
    }
    return spans;
}

// A line's box reaches from half way through the leading above its text to
// the bottom of its text; the web engine draws a line on every page that box
// touches. So a page may end anywhere from the bottom of one line's text down
// to half way to the next line (no more than half a line).
bool LineMap::cutBetween(const std::vector<Span> &spans, int position, int lowest, int *cut)
{
    // Spans [0, k) begin above `position`.
    const auto below = std::lower_bound(spans.begin(), spans.end(), position,
                                        [](const Span &span, int y) { return span.top < y; });
    const size_t k = static_cast<size_t>(below - spans.begin());

    // The highest position allowed above span `i`; span n stands for the end
    // of the document.
    const auto highestAbove = [&spans](size_t i) -> long long {
        if (i == spans.size())
            return LLONG_MAX;
        const Span &next = spans[i];
        const long long halfLine = (next.topPieceHeight + 1) / 2;
        if (i == 0)
            return next.top - halfLine;
        const long long gap = static_cast<long long>(next.top) - spans[i - 1].bottom;
        return next.top - std::min<long long>((gap + 1) / 2, halfLine);
    };

    long long candidate;
    if (k == 0 || position >= spans[k - 1].bottom)
        candidate = std::min<long long>(position, highestAbove(k));
    else
        candidate = highestAbove(k - 1); // inside span k-1: above it
    if (candidate < lowest)
        return false;
    *cut = static_cast<int>(candidate);
    return true;
}

bool LineMap::findCut(int position, int lowest, int *cut) const
{
    for (const std::vector<Span> *spans : {&m_all, &m_text, &m_tight})
        if (cutBetween(*spans, position, lowest, cut))
            return true;
    return false;
}

int LineMap::cutAtOrAbove(int position, int lowest) const
{
    int cut = position;
    return findCut(position, lowest, &cut) ? cut : position;
}

} // namespace quirex::engine
