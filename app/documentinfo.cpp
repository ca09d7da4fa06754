#include "documentinfo.h"

#include "automationobject.h"
#include "comerror.h"
#include "conversionsettings.h"
#include "guid.h"

namespace quirex::app
{

using automation::Variant;

namespace
{

// The component's interface, asked for at creation; fixed for its life.
const char kInterfaceId[] = "{B1E6D3F8-47A2-4C59-9D0B-6E8F2A1C7D44}";

} // namespace

bool hasDocumentInformation(const ConversionSettings &settings)
{
    return !settings.Author.isEmpty() || !settings.Subject.isEmpty() || !settings.Title.isEmpty() ||
           !settings.Keywords.isEmpty();
}

bool writeDocumentInformation(const QString &path, const ConversionSettings &settings)
{
    automation::AutomationObject document;
    if (automation::FAILED(
            document.create(QStringLiteral("Leafcraft.PDFDocument4"),
                            *automation::Guid::fromString(QLatin1String(kInterfaceId)))))
        return false;
    const Variant noOptions(std::int32_t(0));
    document.callOrThrow(QStringLiteral("OpenDocument"), {Variant(path), Variant(QString())});
    document.callOrThrow(QStringLiteral("SetAuthor"), {Variant(settings.Author), noOptions});
    document.callOrThrow(QStringLiteral("SetSubject"), {Variant(settings.Subject), noOptions});
    document.callOrThrow(QStringLiteral("SetTitle"), {Variant(settings.Title), noOptions});
    document.callOrThrow(QStringLiteral("SetKeywords"), {Variant(settings.Keywords), noOptions});
    document.callOrThrow(QStringLiteral("SaveDocument"), {Variant(path), noOptions});
    return true;
}

} // namespace quirex::app
