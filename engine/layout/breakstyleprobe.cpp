#include "breakstyleprobe.h"

#include <QVariant>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// Walks every rule of every sheet (into @media, @supports and imported
// sheets) and every inline style; the names are those of the parsed
// declarations, so letter case and spacing in the source do not matter.
const char kProbe[] = R"JS((function () {
  var names = {'page-break-before': 1, 'page-break-after': 1, 'page-break-inside': 1,
               'break-before': 1, 'break-after': 1, 'break-inside': 1};
  function declares(style) {
    for (var i = 0; i < style.length; ++i)
      if (names[style.item(i)] === 1) return true;
    return false;
  }
  function rulesDeclare(rules) {
    if (!rules) return true;
    for (var i = 0; i < rules.length; ++i) {
      var rule = rules[i];
      if (rule.styleSheet && sheetDeclares(rule.styleSheet)) return true;
      if (rule.cssRules && rulesDeclare(rule.cssRules)) return true;
      if (rule.style && declares(rule.style)) return true;
    }
    return false;
  }
  function sheetDeclares(sheet) {
    try { return rulesDeclare(sheet.cssRules); } catch (e) { return true; }
  }
  var sheets = document.styleSheets;
  for (var i = 0; i < sheets.length; ++i)
    if (sheetDeclares(sheets[i])) return true;
  var styled = document.querySelectorAll('[style]');
  for (var j = 0; j < styled.length; ++j)
    if (declares(styled[j].style)) return true;
  return false;
})())JS";

} // namespace

bool documentMayDeclareBreaks(QWebFrame *frame)
{
    const QVariant answer = frame->evaluateJavaScript(QString::fromLatin1(kProbe));
    return answer.type() != QVariant::Bool || answer.toBool();
}

} // namespace quirex::engine
