#include "registryreport.h"

#include "applog.h"
#include "registry.h"

#include <cstdio>

namespace quirex::app
{

void reportRegistryDamage()
{
    platform::Registry::setDamageReporter([](const QString &path, const QVector<int> &lines) {
        const QString text = platform::Registry::damageNotice(path, lines);
        logLine(text);
        const QByteArray bytes =
            (QStringLiteral("quirexdesk: ") + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    });
}

} // namespace quirex::app
