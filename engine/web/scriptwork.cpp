#include "scriptwork.h"

#include <QVariant>
#include <QWebFrame>

namespace quirex::engine
{

namespace
{

// The count lives in a property that neither enumerates nor can be replaced.
// A timeout is counted from its setting until its callback starts or it is
// cleared; an interval until it is cleared (a page that ticks forever waits
// out the whole delay, as without this count).
const char kWatch[] = R"((function () {
  'use strict';
  var pending = Object.create(null), count = 0;
  function start(key) { if (!pending[key]) { pending[key] = true; ++count; } }
  function end(key) { if (pending[key]) { delete pending[key]; --count; } }
  try {
    Object.defineProperty(window, '%1', { get: function () { return count; } });
  } catch (e) { return; }
  var setTimeoutOf = window.setTimeout, clearTimeoutOf = window.clearTimeout;
  var setIntervalOf = window.setInterval, clearIntervalOf = window.clearInterval;
  window.setTimeout = function (callback, delay) {
    var rest = Array.prototype.slice.call(arguments, 2), id;
    id = setTimeoutOf.call(window, function () {
      end('t' + id);
      if (typeof callback === 'function') return callback.apply(this, rest);
      (0, eval)(String(callback));
    }, delay);
    start('t' + id);
    return id;
  };
  window.setInterval = function () {
    var id = setIntervalOf.apply(window, arguments);
    start('i' + id);
    return id;
  };
  // Either clears either kind, as in the web engine.
  window.clearTimeout = window.clearInterval = function (id) {
    end('t' + id);
    end('i' + id);
    clearTimeoutOf.call(window, id);
    clearIntervalOf.call(window, id);
  };
  ['requestAnimationFrame', 'webkitRequestAnimationFrame'].forEach(function (name) {
    var request = window[name];
    if (typeof request !== 'function') return;
    window[name] = function (callback) {
      var id = request.call(window, function (time) {
        end('f' + id);
        return callback(time);
      });
      start('f' + id);
      return id;
    };
  });
  ['cancelAnimationFrame', 'webkitCancelAnimationFrame', 'webkitCancelRequestAnimationFrame']
    .forEach(function (name) {
      var cancel = window[name];
      if (typeof cancel !== 'function') return;
      window[name] = function (id) { end('f' + id); return cancel.call(window, id); };
    });
})();)";

const char kCountName[] = "__quirexScriptWork";

} // namespace

QString scriptWorkWatch()
{
    return QString::fromLatin1(kWatch).arg(QLatin1String(kCountName));
}

int pendingScriptWork(QWebFrame *frame)
{
    if (!frame)
        return 0;
    bool ok = false;
    const QVariant count =
        frame->evaluateJavaScript(QStringLiteral("typeof window.%1 === 'number' ? window.%1 : -1")
                                      .arg(QLatin1String(kCountName)));
    int total = count.toInt(&ok);
    if (!ok || total < 0)
        return -1;
    for (QWebFrame *child : frame->childFrames()) {
        const int inChild = pendingScriptWork(child);
        if (inChild < 0)
            return -1;
        total += inChild;
    }
    return total;
}

} // namespace quirex::engine
