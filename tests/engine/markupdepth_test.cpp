#include "markupdepth.h"

#include <gtest/gtest.h>

using quirex::engine::markupNestingDepth;

TEST(MarkupDepth, CountsElementsThatMustBeClosedAndNothingElse)
{
    const struct {
        const char *html;
        int depth;
    } cases[] = {
        {"", 0},
        {"plain text < 3 and 4 > 2", 0},
        {"<div><div><span>x</span></div></div>", 3},
        {"<DIV><Div><div>unclosed", 3},
        {"<div></div><div></div><div></div>", 1},
        // End tags the parser supplies, void elements, "<x/>" and anchors do not nest.
        {"<ul><li>a<li>b<li>c</ul><p>x<p>y<p>z<table><tr><td>1<td>2</table>", 1},
        {"<br><br><img src=a><hr><input><meta charset=utf-8>", 0},
        {"<svg><path d='M0 0'/><path/><g><path/></g></svg>", 2},
        {"<a name=1>x<a name=2>y<a name=3>z", 0},
        // Comments, declarations, raw text and quoted '>' are not markup.
        {"<!DOCTYPE html><!-- <div><div> --><div>x</div>", 1},
        {"<script>for (i = 0; i < 9; ++i) s += '<div>';</script><div></div>", 1},
        {"<STYLE>div > div { }</style><textarea><div><div></TEXTAREA>", 0},
        {"<div title='a > b' class=\"<div>\"><div></div></div>", 2},
        // A stray end tag never takes the depth below zero.
        {"</div></div><div><div>", 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(markupNestingDepth(QByteArray(c.html)), c.depth) << c.html;
}

TEST(MarkupDepth, AFlatDocumentOfUnclosedItemsIsFlatAndADeepOneIsDeep)
{
    EXPECT_LE(markupNestingDepth("<ul>" + QByteArray("<li><p>item").repeated(50000)), 1);
    EXPECT_EQ(markupNestingDepth(QByteArray("<b><span>").repeated(30000)), 60000);
    // Unfinished constructs at the end of the input.
    EXPECT_EQ(markupNestingDepth("<div><!-- never closed <div>"), 1);
    EXPECT_EQ(markupNestingDepth("<div><script>never closed <div>"), 1);
    EXPECT_EQ(markupNestingDepth("<div class='never closed>"), 1);
}
