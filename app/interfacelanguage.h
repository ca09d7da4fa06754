#pragma once

#include <QByteArray>

namespace quirex::app
{

// The language of the interface texts, from the locale as Linux programs take it: the first of
// LC_ALL, LC_MESSAGES and LANG that is set and not empty decides; it gives Russian when it names
// Russian ("ru", "ru_RU.UTF-8", ...) or is the C or POSIX locale, English for any other
// language. With none set the language is Russian. QUIREX_LANGUAGE "en" or "ru" overrides the
// locale; any other value of it is ignored.
int languageFromLocale(const QByteArray &override, const QByteArray &lcAll,
                       const QByteArray &lcMessages, const QByteArray &lang);

// languageFromLocale for this process's environment, read on the first call.
int interfaceLanguage();

} // namespace quirex::app
