#include "bodygrouping.h"

#include <QVariant>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

const char kGroupTag[] = "quirex-group";

// Returns the number of groups made, or 0. Every check comes before the
// first change; the only change left behind is a grouping whose layout was
// found equal to the original.
const char kGrouping[] = R"JS((function (minimumChildren, tag) {
  var body = document.body;
  if (!body || body.localName !== 'body' || body.childNodes.length <= minimumChildren) return 0;
  var bodyStyle = getComputedStyle(body);
  if (bodyStyle.display !== 'block' ||
      (bodyStyle.whiteSpace !== 'normal' && bodyStyle.whiteSpace !== 'nowrap') ||
      bodyStyle.webkitColumnCount !== 'auto' || bodyStyle.webkitColumnWidth !== 'auto')
    return 0;
  if (document.querySelector('script,iframe,frame,frameset,object,embed,applet,' + tag) ||
      body.querySelector('style,link'))
    return 0;
  // An event handler attribute runs a script too. Only the attribute names
  // are read: reading Attr nodes would create one for each attribute.
  var all = document.getElementsByTagName('*');
  for (var h = 0; h < all.length; ++h) {
    if (!all[h].hasAttributes()) continue;
    var names = all[h].getAttributeNames();
    for (var m = 0; m < names.length; ++m)
      if (/^on/i.test(names[m])) return 0;
  }
  for (var i = 0; i < document.images.length; ++i)
    if (!document.images[i].complete) return 0;
  // Presentational attributes that float an element.
  var aligned = document.querySelectorAll(
      'img[align],table[align],input[align],iframe[align],object[align],embed[align]');
  for (var a = 0; a < aligned.length; ++a)
    if (/^\s*(left|right)\s*$/i.test(aligned[a].getAttribute('align'))) return 0;

  // Selectors that could match a group, or whose matching depends on an
  // element's parent or siblings. Pseudo-classes other than those of links
  // and user actions count as such.
  var harmlessPseudo = /^(link|visited|hover|active|focus|target|enabled|disabled|checked|-webkit-any-link|before|after|selection)$/i;
  function riskySelector(text) {
    if (/[>+~*]|\[\s*style/i.test(text)) return true;
    if (text.toLowerCase().indexOf(tag) >= 0) return true;
    var pseudo = /::?([-\w]+)/g, match;
    while ((match = pseudo.exec(text)) !== null)
      if (!harmlessPseudo.test(match[1])) return true;
    return false;
  }
  function riskyDeclarations(text) {
    return /inherit|float|counter/i.test(text) ||
           /(^|[\s;])((min-|max-)?height|top|bottom)\s*:[^;]*%/i.test(text);
  }
  function rulesSafe(rules) {
    if (!rules) return false;
    for (var i = 0; i < rules.length; ++i) {
      var rule = rules[i];
      if (rule.styleSheet && !sheetSafe(rule.styleSheet)) return false;
      if (rule.cssRules && !rulesSafe(rule.cssRules)) return false;
      if (rule.selectorText !== undefined && riskySelector(rule.selectorText)) return false;
      if (rule.style && riskyDeclarations(rule.style.cssText)) return false;
    }
    return true;
  }
  function sheetSafe(sheet) {
    try { return rulesSafe(sheet.cssRules); } catch (e) { return false; }
  }
  for (var s = 0; s < document.styleSheets.length; ++s)
    if (!sheetSafe(document.styleSheets[s])) return 0;
  var styled = document.querySelectorAll('[style]');
  for (var t = 0; t < styled.length; ++t)
    if (riskyDeclarations(styled[t].style.cssText)) return 0;

  // Each child is a block, inline content, or neutral (blank text,
  // comments, hidden elements).
  var nodes = Array.prototype.slice.call(body.childNodes);
  var kinds = [];
  var blocks = {block: 1, table: 1, flex: 1, '-webkit-box': 1, grid: 1};
  var counted = 0;
  for (var n = 0; n < nodes.length; ++n) {
    var node = nodes[n];
    if (node.nodeType === 3) {
      kinds.push(/\S/.test(node.data) ? 'inline' : 'neutral');
    } else if (node.nodeType === 1) {
      var style = getComputedStyle(node);
      if (style.display === 'list-item' || style.cssFloat !== 'none' ||
          (style.position !== 'static' && style.position !== 'relative'))
        return 0;
      kinds.push(style.display === 'none' ? 'neutral'
                 : blocks[style.display] === 1 ? 'block' : 'inline');
    } else if (node.nodeType === 8) {
      kinds.push('neutral');
    } else {
      return 0;
    }
    if (kinds[n] !== 'neutral') ++counted;
  }
  if (counted <= minimumChildren) return 0;

  // The layout before: the box of every element child, and the document's
  // size.
  var elements = nodes.filter(function (node) { return node.nodeType === 1; });
  var total = elements.length;
  function measure(visit) {
    var x = window.pageXOffset, y = window.pageYOffset;
    var root = document.documentElement;
    visit(0, root.scrollWidth);
    visit(1, root.scrollHeight);
    for (var e = 0; e < total; ++e) {
      var box = elements[e].getBoundingClientRect();
      var at = 2 + 4 * e;
      visit(at, box.left + x);
      visit(at + 1, box.top + y);
      visit(at + 2, box.width);
      visit(at + 3, box.height);
    }
  }
  var before = new Float64Array(2 + 4 * total);
  measure(function (at, value) { before[at] = value; });

  // About the square root of the children in each group: a page then tests
  // about twice that many boxes.
  var size = Math.max(50, Math.ceil(Math.sqrt(counted)));
  var group = null, count = 0, groups = 0, last = 'block';
  var namespace = body.namespaceURI;
  for (var k = 0; k < nodes.length; ++k) {
    if (!group || (kinds[k] === 'block' && last === 'block' && count >= size)) {
      group = document.createElementNS(namespace, tag);
      group.setAttribute('style', 'display:block!important;margin:0!important;' +
                         'padding:0!important;border:0!important;position:static!important;' +
                         'float:none!important;width:auto!important;height:auto!important;' +
                         'min-height:0!important;max-height:none!important;' +
                         'overflow:visible!important;clear:none!important');
      body.insertBefore(group, nodes[k]);
      count = 0;
      ++groups;
    }
    group.appendChild(nodes[k]);
    if (kinds[k] !== 'neutral') {
      last = kinds[k];
      ++count;
    }
  }

  var same = true;
  measure(function (at, value) { if (before[at] !== value) same = false; });
  if (same) return groups;
  for (var u = 0; u < nodes.length; ++u)
    body.insertBefore(nodes[u], nodes[u].parentNode);
  var made = body.querySelectorAll(tag);
  for (var r = 0; r < made.length; ++r)
    body.removeChild(made[r]);
  body.offsetHeight;
  return 0;
})(%1, '%2'))JS";

const char kUngrouping[] = R"JS((function (tag) {
  var body = document.body;
  if (!body) return 0;
  var groups = Array.prototype.filter.call(body.childNodes, function (node) {
    return node.localName === tag;
  });
  for (var g = 0; g < groups.length; ++g) {
    var group = groups[g];
    while (group.firstChild)
      body.insertBefore(group.firstChild, group);
    body.removeChild(group);
  }
  // Lays the document out again now: whoever reads boxes next through the
  // element interface would otherwise find elements without any.
  return document.documentElement.offsetHeight;
})('%1'))JS";

} // namespace

int groupLongBody(QWebFrame *frame, int minimumChildren)
{
    const QString script =
        QString::fromLatin1(kGrouping).arg(minimumChildren).arg(QLatin1String(kGroupTag));
    return frame->evaluateJavaScript(script).toInt();
}

void ungroupBody(QWebFrame *frame)
{
    frame->evaluateJavaScript(QString::fromLatin1(kUngrouping).arg(QLatin1String(kGroupTag)));
}

} // namespace quirex::engine
