#include "printmedia.h"

#include "enginescript.h"

#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// "unprintedscreen" holds neither word whole, so a second run leaves it be.
const char kPrintMedia[] = R"JS((function () {
  var count = 0;
  function swapped(text) {
    return text.replace(/\b(print|screen)\b/gi, function (word) {
      return word.toLowerCase() === 'print' ? 'all' : 'unprintedscreen';
    });
  }
  function swapList(media) {
    if (!media) return;
    var from = media.mediaText;
    if (!from) return;
    var to = swapped(from);
    if (to === from) return;
    media.mediaText = to;
    ++count;
  }
  function swapRules(rules, depth) {
    if (!rules || depth > 16) return;
    for (var i = 0; i < rules.length; ++i) {
      var rule = rules[i];
      if (rule.media) swapList(rule.media);
      if (rule.styleSheet) swapSheet(rule.styleSheet, depth + 1);
      else if (rule.cssRules) swapRules(rule.cssRules, depth + 1);
    }
  }
  function swapSheet(sheet, depth) {
    try { swapRules(sheet.cssRules, depth); } catch (e) {}
  }
  // A link whose sheet is loaded gets the sheet's own list swapped: a new media attribute
  // would fetch the sheet again and leave it out until it came, which for a sheet from
  // outside the document's folder (served through a redirect) is after printing.
  var owners = document.querySelectorAll('link[media], style[media]');
  for (var i = 0; i < owners.length; ++i) {
    var owner = owners[i];
    if (owner.tagName === 'LINK' && owner.sheet && owner.sheet.media) {
      swapList(owner.sheet.media);
      continue;
    }
    var from = owner.getAttribute('media'), to = swapped(from);
    if (to !== from) { owner.setAttribute('media', to); ++count; }
  }
  var sheets = document.styleSheets;
  for (var j = 0; j < sheets.length; ++j) swapSheet(sheets[j], 0);
  return count;
})())JS";

int applyToFrame(QWebFrame *frame, int depth)
{
    const QVariant answer = evaluateEngineScript(frame, QString::fromLatin1(kPrintMedia));
    bool ok = false;
    int count = answer.toInt(&ok);
    if (!ok)
        return -1;
    // Bounded: a frame may hold itself through its own address.
    if (depth < 8) {
        for (QWebFrame *child : frame->childFrames()) {
            const int inChild = applyToFrame(child, depth + 1);
            if (inChild > 0)
                count += inChild;
        }
    }
    return count;
}

} // namespace

int applyPrintMedia(QWebFrame *frame)
{
    if (frame == nullptr)
        return -1;
    return applyToFrame(frame, 0);
}

} // namespace quirex::engine
