#include "encodingnames.h"

#include <QLatin1String>

#include <iterator>

namespace quirex::engine
{

namespace
{

struct Equivalent {
    QLatin1String name;
    QLatin1String webKitName;
};

// Found by loading bytes without a declared charset into a QWebPage after
// setting each name and comparing the decoded text with the character set's
// own table.
const Equivalent equivalents[] = {
    {QLatin1String("Apple Roman"), QLatin1String("macintosh")},
    {QLatin1String("Big5-ETen"), QLatin1String("Big5")},
    {QLatin1String("CP949"), QLatin1String("windows-949")},
    {QLatin1String("CP950"), QLatin1String("Big5")},
    {QLatin1String("IBM874"), QLatin1String("windows-874")},
    // TIS-620 plus a no-break space at 0xA0; windows-874 has both.
    {QLatin1String("ISO 8859-11"), QLatin1String("windows-874")},
    {QLatin1String("ISO 8859-8-I"), QLatin1String("ISO-8859-8-I")},
    {QLatin1String("ISO-8859-10:1992"), QLatin1String("ISO-8859-10")},
    // KOI8-RU is KOI8-U plus ў and Ў at 0xAE and 0xBE, which decode here as
    // the box-drawing characters KOI8-U has there.
    {QLatin1String("KOI8-RU"), QLatin1String("KOI8-U")},
    {QLatin1String("latin9"), QLatin1String("ISO-8859-15")},
};

const char *const withoutCodec[] = {
    "iscii-bng",  "iscii-dev", "iscii-gjr", "iscii-knd", "iscii-mlm",
    "iscii-ori",  "iscii-pnj", "iscii-tlg", "iscii-tml", "ISO-8859-16",
    "iso-ir-226", "latin10",   "TSCII",     "WINSAMI2",  "WS2",
};

} // namespace

QString webKitEncodingName(const QString &name)
{
    for (const Equivalent &equivalent : equivalents) {
        if (name.compare(equivalent.name, Qt::CaseInsensitive) == 0)
            return equivalent.webKitName;
    }
    return name;
}

QStringList encodingsWithoutWebKitCodec()
{
    QStringList names;
    names.reserve(int(std::size(withoutCodec)));
    for (const char *name : withoutCodec)
        names.append(QLatin1String(name));
    return names;
}

} // namespace quirex::engine
