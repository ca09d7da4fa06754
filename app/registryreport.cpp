#include "registryreport.h"

#include "applog.h"
#include "registry.h"

#include <QStringList>

#include <cstdio>

namespace quirex::app
{

void reportRegistryDamage()
{
    platform::Registry::setDamageReporter([](const QString &path, const QVector<int> &lines) {
        QStringList numbers;
        for (const int line : lines)
            numbers.append(QString::number(line));
        const QString text =
            QStringLiteral("the registry file %1 is damaged: line %2 skipped; the next change "
                           "keeps a copy of it as %1.corrupt")
                .arg(path, numbers.join(QStringLiteral(", ")));
        logLine(text);
        const QByteArray bytes =
            (QStringLiteral("quirexdesk: ") + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    });
}

} // namespace quirex::app
