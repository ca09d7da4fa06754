#include "interfacelanguage.h"

#include "stringtable.h"

namespace quirex::app
{

namespace
{

// The language part of a locale name: "ru" of "ru_RU.UTF-8@euro".
QByteArray languagePart(const QByteArray &locale)
{
    int end = 0;
    while (end < locale.size() && locale[end] != '_' && locale[end] != '.' && locale[end] != '@')
        ++end;
    return locale.left(end).toLower();
}

} // namespace

int languageFromLocale(const QByteArray &override, const QByteArray &lcAll,
                       const QByteArray &lcMessages, const QByteArray &lang)
{
    const QByteArray chosen = override.trimmed().toLower();
    if (chosen == "en")
        return LanguageEnglish;
    if (chosen == "ru")
        return LanguageRussian;
    for (const QByteArray *locale : {&lcAll, &lcMessages, &lang}) {
        if (locale->isEmpty())
            continue;
        const QByteArray language = languagePart(*locale);
        if (language == "ru" || language == "c" || language == "posix")
            return LanguageRussian;
        return LanguageEnglish;
    }
    return DefaultInterfaceLanguage;
}

int interfaceLanguage()
{
    static const int language = languageFromLocale(qgetenv("QUIREX_LANGUAGE"), qgetenv("LC_ALL"),
                                                   qgetenv("LC_MESSAGES"), qgetenv("LANG"));
    return language;
}

} // namespace quirex::app
