#include "webpage.h"

#include "scriptwork.h"

#include <QUuid>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// Run in every frame when its scripts' window is made, before any script of the document:
// takes WebSocket and workers away, and watches the document for elements nested deeper
// than the limit. Its text is the same for every page, so that the script engine compiles it
// once per process rather than once per page (a third of a millisecond); the page's report
// mark comes after it through a one-shot function that removes itself before the document's
// first script can see it. Mutation records are delivered when the script that made them ends,
// before the web engine next lays the document out, so a deep chain is cut before layout recurses
// through it. Depths are counted once per delivery (a node's depth is kept for the nodes
// below it), so a chain of any length costs its length, not its square.
const char kFrameGuard[] = R"((function () {
  'use strict';
  var limit = %1, mark = '';
  Object.defineProperty(window, '%2', { configurable: true, value: function (pageMark) {
    delete window['%2'];
    mark = pageMark;
  } });
  ['WebSocket', 'Worker', 'SharedWorker'].forEach(function (name) {
    try {
      Object.defineProperty(window, name, { value: undefined, writable: false,
                                            configurable: false });
    } catch (e) {}
  });
  if (typeof MutationObserver !== 'function' || !document) return;
  var report = console.log.bind(console);
  new MutationObserver(function (records) {
    var depths = new Map(), cut = 0;
    function depthOf(node) {
      var path = [], depth = 0, attached = false;
      for (var n = node; n; n = n.parentNode) {
        var known = depths.get(n);
        if (known) { depth = known.depth; attached = known.attached; break; }
        path.push(n);
        if (!n.parentNode) attached = n === document;
      }
      for (var i = path.length - 1; i >= 0; --i)
        depths.set(path[i], { depth: ++depth, attached: attached });
      return depths.get(node);
    }
    function tooDeep(node, room) {
      var stack = [node, 0];
      while (stack.length) {
        var level = stack.pop(), n = stack.pop();
        if (level > room) return true;
        for (var c = n.firstChild; c; c = c.nextSibling) stack.push(c, level + 1);
      }
      return false;
    }
    // Takes a subtree out in pieces at most 512 levels deep, the deepest first: the web engine
    // removes and frees a node by recursing through what it holds, and walks a node's ancestors
    // at every removal, so neither one removal nor one per node would do.
    function takeOut(node) {
      var cuts = [], stack = [node, 0];
      while (stack.length) {
        var level = stack.pop(), n = stack.pop();
        if (level > 0 && level % 512 === 0) cuts.push(n);
        for (var c = n.firstChild; c; c = c.nextSibling) stack.push(c, level + 1);
      }
      for (var i = cuts.length - 1; i >= 0; --i) cuts[i].parentNode.removeChild(cuts[i]);
      node.parentNode.removeChild(node);
    }
    // A node added below another added node is looked at with it: the parser adds a chain
    // node by node, and walking every node's subtree would cost the chain's square.
    var added = new Set();
    records.forEach(function (record) {
      for (var i = 0; i < record.addedNodes.length; ++i) added.add(record.addedNodes[i]);
    });
    records.forEach(function (record) {
      for (var i = 0; i < record.addedNodes.length; ++i) {
        var node = record.addedNodes[i], parent = node.parentNode;
        if (!parent || added.has(parent)) continue;
        var at = depthOf(parent);
        if (!at.attached) continue;
        if (at.depth + 1 > limit || tooDeep(node, limit - at.depth - 1)) {
          takeOut(node);
          ++cut;
        }
      }
    });
    if (cut) report(mark + 'elements nested deeper than ' + limit + ' taken out (' + cut + ')');
  }).observe(document, { childList: true, subtree: true });
})();)";

const char kArmName[] = "__quirexArmGuard";

} // namespace

void limitScriptRuns()
{
    if (!qEnvironmentVariableIsSet("JSC_watchdog"))
        qputenv("JSC_watchdog", QByteArray::number(scriptRunLimitMs));
}

WebPage::WebPage(QObject *parent)
    : QWebPage(parent)
    , m_reportMark(QUuid::createUuid().toString(QUuid::Id128) + QLatin1Char(' '))
{
    connect(this, &QWebPage::frameCreated, this, &WebPage::guardFrame);
    guardFrame(mainFrame());
}

void WebPage::guardFrame(QWebFrame *frame)
{
    static const char kGuarded[] = "quirexGuarded";
    if (!frame || frame->property(kGuarded).toBool())
        return;
    frame->setProperty(kGuarded, true);
    static const QString guard =
        QString::fromLatin1(kFrameGuard).arg(documentDepthLimit).arg(QLatin1String(kArmName)) +
        scriptWorkWatch();
    const QString arm =
        QStringLiteral("window.%1('%2');").arg(QLatin1String(kArmName), m_reportMark);
    connect(frame, &QWebFrame::javaScriptWindowObjectCleared, this, [frame, arm] {
        frame->evaluateJavaScript(guard);
        frame->evaluateJavaScript(arm);
    });
}

void WebPage::javaScriptConsoleMessage(const QString &message, int, const QString &)
{
    if (message.startsWith(m_reportMark))
        emit limitReached(message.mid(m_reportMark.size()));
}

bool WebPage::extension(Extension extension, const ExtensionOption *option, ExtensionReturn *output)
{
    if (extension == ErrorPageExtension)
        return false;
    return QWebPage::extension(extension, option, output);
}

bool WebPage::supportsExtension(Extension extension) const
{
    if (extension == ErrorPageExtension)
        return false;
    return QWebPage::supportsExtension(extension);
}

void WebPage::javaScriptAlert(QWebFrame *, const QString &)
{
}

bool WebPage::javaScriptConfirm(QWebFrame *, const QString &)
{
    return false;
}

bool WebPage::javaScriptPrompt(QWebFrame *, const QString &, const QString &, QString *)
{
    return false;
}

} // namespace quirex::engine
