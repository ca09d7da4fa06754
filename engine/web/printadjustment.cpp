#include "printadjustment.h"

#include "enginescript.h"
#include "fontsubstitution.h"

#include <QString>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// %1: the page zoom. A root whose size the web engine took unzoomed from an
// absolute length reads as the size divided by the zoom; one that inherited
// reads as the HTML size (times the author's ratio): the square root of the
// zoom tells the two apart.
const char kAdjust[] = R"JS((function (zoom) {
  var changed = 0;
  var limit = Math.sqrt(zoom);
  var roots = document.getElementsByTagName('svg');
  var list = [];
  for (var i = 0; i < roots.length; ++i) list.push(roots[i]);
  for (var k = 0; k < list.length; ++k) {
    var svg = list[k], parent = svg.parentElement;
    if (!parent || parent.namespaceURI === 'http://www.w3.org/2000/svg') continue;
    var own = parseFloat(getComputedStyle(svg).fontSize);
    var around = parseFloat(getComputedStyle(parent).fontSize);
    if (!(own > 0) || !(around > 0) || own * limit < around) continue;
    svg.style.setProperty('font-size', own + 'px', 'important');
    ++changed;
  }
  var wide = [], fixed = [];
  var all = document.body ? document.body.getElementsByTagName('*') : [];
  // A box's style is read only where it can matter: a fixed element has no
  // offset parent, and a box that scrolls sideways is wider inside than out.
  for (var j = 0; j < all.length; ++j) {
    var box = all[j];
    if (box.offsetParent === null && getComputedStyle(box).position === 'fixed') fixed.push(box);
    if (box.scrollWidth <= box.clientWidth + 1) continue;
    var overflow = getComputedStyle(box).overflowX;
    if (overflow === 'auto' || overflow === 'scroll') wide.push(box);
  }
  // Inside each box, every element that starts unwrapped text of its own
  // (its white-space differs from its parent's) wraps. All styles are read
  // before the first change: a read after a change recomputes the document's style.
  var unwrapped = [], spaces = [];
  for (var w = 0; w < wide.length; ++w) {
    unwrapped.push(wide[w]);
    spaces.push(getComputedStyle(wide[w]).whiteSpace);
    var inner = wide[w].getElementsByTagName('*');
    for (var n = 0; n < inner.length; ++n) {
      var space = getComputedStyle(inner[n]).whiteSpace;
      if ((space === 'pre' || space === 'nowrap') &&
          getComputedStyle(inner[n].parentElement).whiteSpace !== space) {
        unwrapped.push(inner[n]);
        spaces.push(space);
      }
    }
  }
  for (var f = 0; f < fixed.length; ++f) {
    fixed[f].style.setProperty('position', 'absolute', 'important');
    ++changed;
  }
  for (var u = 0; u < unwrapped.length; ++u) {
    var element = unwrapped[u];
    element.style.setProperty('white-space', spaces[u] === 'nowrap' ? 'normal' : 'pre-wrap', 'important');
    element.style.setProperty('word-wrap', 'break-word', 'important');
    ++changed;
  }
  return changed;
})(%1))JS";

const char kStyleSheet[] = R"CSS(
::-webkit-scrollbar { width: 0 !important; height: 0 !important; }
input[type=checkbox], input[type=radio] {
  -webkit-appearance: none; box-sizing: border-box; width: 13px; height: 13px;
  margin: 3px 3px 3px 4px; border: 1px solid #767676; background: #fff; vertical-align: -2px;
}
input[type=radio] { border-radius: 50%; }
input:not([type]), input[type=text], input[type=search], input[type=email], input[type=url],
input[type=password], input[type=number], input[type=tel], textarea {
  -webkit-appearance: none; border: 1px solid #767676; background-color: #fff; padding: 2px 3px;
}
button, input[type=button], input[type=submit], input[type=reset] {
  -webkit-appearance: none; border: 1px solid #767676; border-radius: 3px;
  background-color: #f4f4f4; padding: 3px 6px; font: inherit;
}
select {
  -webkit-appearance: none; border: 1px solid #767676; border-radius: 3px; padding: 4px 20px 4px 3px;
  background: #fff url("data:image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 6'><path d='M1 1l4 4 4-4' fill='none' stroke='black'/></svg>") no-repeat right 5px center / 9px 6px;
}
input[type=checkbox]:checked { background: #fff url("data:image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 11 11'><path d='M2 5.5l2.5 2.5 4.5-5' fill='none' stroke='black' stroke-width='1.6'/></svg>") no-repeat center / 100% 100%; }
input[type=radio]:checked { background: #fff url("data:image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 11 11'><circle cx='5.5' cy='5.5' r='2.5'/></svg>") no-repeat center / 100% 100%; }
)CSS";

} // namespace

int adjustForPrint(QWebFrame *frame, double pageZoom)
{
    const QVariant answer =
        evaluateEngineScript(frame, QString::fromLatin1(kAdjust).arg(pageZoom, 0, 'g', 6));
    bool ok = false;
    const int changed = answer.toInt(&ok);
    return ok ? changed : -1;
}

QString printStyleSheet()
{
    return QString::fromLatin1(kStyleSheet);
}

QUrl documentStyleSheetUrl()
{
    const QString css = fontSubstitutionStyleSheet() + printStyleSheet();
    return QUrl(QLatin1String("data:text/css;charset=utf-8;base64,") +
                QLatin1String(css.toUtf8().toBase64()));
}

} // namespace quirex::engine
