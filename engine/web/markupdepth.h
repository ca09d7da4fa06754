#pragma once

#include <QByteArray>

namespace quirex::engine
{

// Markup nested deeper than this is not handed to the web engine: its parser takes time
// that grows with the square of the depth (10,000 levels about 1.5 s, 100,000 about two
// minutes) in one stretch that nothing can interrupt, while it keeps at most 512 levels of
// the tree anyway.
constexpr int kMostMarkupDepth = 10000;

// How deep the elements of `html` nest, as a parser of well-formed markup would nest them:
// start tags of elements that must be closed count one level, their end tags close one.
// Elements whose end tag may be left out (p, li, td, option, ...) and void elements do not
// count, nor does "<x/>", nor anything inside comments, declarations and raw text (script,
// style, textarea, title, ...), so a flat document never reads as a deep one. Works on the
// bytes of any ASCII-compatible encoding; linear in the length.
int markupNestingDepth(const QByteArray &html);

} // namespace quirex::engine
