#include "flowstyleprobe.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// Answers 1 when some declaration sets display, plus 2 when one may take an
// element out of the flow, plus 4 when one sets what the boxes flag covers,
// plus 8 for sibling rules. "all" resets everything, and a named flow moves
// an element elsewhere.
const char kProbe[] = R"JS((function () {
  var inFlow = {'float': {'none': 1},
                'position': {'static': 1, 'relative': 1, 'sticky': 1, '-webkit-sticky': 1}};
  var boxes = /^(font|line|padding|border|zoom|writing-mode|text-orientation|text-zoom|text-size-adjust|locale)/;
  var siblings = /[+~]|(^|[^:]):(first|last|only|nth)-|:empty/i;
  var found = 0;
  function look(style) {
    for (var i = 0; i < style.length; ++i) {
      var name = String(style.item(i));
      if (name === 'display') {
        found |= 1;
      } else if (name === 'all' || name === '-webkit-flow-into') {
        found |= 15;
      } else if (inFlow.hasOwnProperty(name)) {
        var value = String(style.getPropertyValue(name)).trim().toLowerCase();
        if (inFlow[name][value] !== 1) found |= 2;
      } else if (boxes.test(name.replace(/^-webkit-/, ''))) {
        found |= 4;
        if (/padding/.test(name) && /%|calc|var/i.test(style.getPropertyValue(name))) found |= 8;
      }
    }
  }
  function walk(rules) {
    if (!rules) { found = 15; return; }
    for (var i = 0; i < rules.length && found !== 15; ++i) {
      var rule = rules[i];
      if (rule.styleSheet) sheet(rule.styleSheet);
      if (rule.cssRules) walk(rule.cssRules);
      if (rule.selectorText !== undefined && siblings.test(String(rule.selectorText))) found |= 8;
      if (rule.style) look(rule.style);
    }
  }
  function sheet(s) {
    try { walk(s.cssRules); } catch (e) { found = 15; }
  }
  var sheets = document.styleSheets;
  for (var i = 0; i < sheets.length && found !== 15; ++i)
    sheet(sheets[i]);
  return found;
})())JS";

} // namespace

FlowDeclarations probeFlowDeclarations(QWebFrame *frame)
{
    FlowDeclarations declarations;
    if (!frame)
        return declarations;
    const QVariant answer = frame->evaluateJavaScript(QString::fromLatin1(kProbe));
    bool ok = false;
    const int found = answer.toInt(&ok);
    if (!ok || answer.type() == QVariant::Invalid)
        return declarations;
    declarations.display = (found & 1) != 0;
    declarations.outOfFlow = (found & 2) != 0;
    declarations.boxes = (found & 4) != 0;
    declarations.siblingRules = (found & 8) != 0;
    return declarations;
}

DefaultDisplay defaultDisplay(const QString &tag)
{
    static const QHash<QString, DefaultDisplay> displays = [] {
        QHash<QString, DefaultDisplay> byTag;
        for (const char *flow :
             {"ADDRESS", "ARTICLE", "ASIDE", "BLOCKQUOTE", "BODY",   "CENTER", "DD",      "DIR",
              "DIV",     "DL",      "DT",    "FIGCAPTION", "FIGURE", "FOOTER", "FORM",    "H1",
              "H2",      "H3",      "H4",    "H5",         "H6",     "HEADER", "HGROUP",  "LI",
              "MAIN",    "MENU",    "NAV",   "OL",         "P",      "PRE",    "SECTION", "UL"})
            byTag.insert(QString::fromLatin1(flow), DefaultDisplay::Flow);
        for (const char *part : {"TABLE", "CAPTION", "THEAD", "TBODY", "TFOOT", "TR", "TD", "TH"})
            byTag.insert(QString::fromLatin1(part), DefaultDisplay::TablePart);
        return byTag;
    }();
    return displays.value(tag, DefaultDisplay::Unknown);
}

} // namespace quirex::engine
