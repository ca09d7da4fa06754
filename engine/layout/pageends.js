(function (finder, zoom) {
    delete window.__quirexLineFinder;
    var range = document.createRange();
    var blank = /^\s*$/;
    finder.textBoxesRequested.connect(function (element, scope, after, before) {
        var out = [];
        var scroll = window.pageYOffset;
        function add(rects) {
            for (var i = 0; i < rects.length; ++i) {
                var r = rects[i];
                if (r.width > 0 && r.height > 0)
                    out.push(Math.floor((r.top + scroll) * zoom + 0.01),
                             Math.ceil((r.bottom + scroll) * zoom - 0.01));
            }
        }
        function visit(node) {
            if (node.nodeType === 3) {
                if (!blank.test(node.data)) {
                    range.selectNodeContents(node);
                    add(range.getClientRects());
                }
            } else if (node.nodeType === 1) {
                for (var n = node.firstChild; n; n = n.nextSibling)
                    visit(n);
            }
        }
        if (scope === 0) {
            // A block of lines: one range over it gives its text and the
            // boxes of the inline elements in it, line by line.
            range.selectNodeContents(element);
            add(range.getClientRects());
        } else if (scope === 1) {
            visit(element);
        } else if (scope === 3) {
            // The box of the first character of the element's text: as
            // high as the glyphs of its font.
            var walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT, null, false);
            for (var t = walker.nextNode(); t; t = walker.nextNode()) {
                var at = t.data.search(/\S/);
                if (at >= 0) {
                    range.setStart(t, at);
                    range.setEnd(t, at + 1);
                    add(range.getClientRects());
                    break;
                }
            }
        } else {
            var kids = element.children;
            var start = after >= 0 ? kids[after].nextSibling : element.firstChild;
            var stop = before >= 0 ? kids[before] : null;
            for (var n = start; n && n !== stop; n = n.nextSibling)
                visit(n);
        }
        finder.setTextBoxes(out.join(','));
    });
    return true;
})
