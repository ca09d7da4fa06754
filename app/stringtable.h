#pragma once

#include "interfacelanguage.h"

#include <QString>

#include <string>

namespace quirex::app
{

// Language ids of the string table.
constexpr int LanguageEnglish = 0x0409;
constexpr int LanguageRussian = 0x0419;
// The interface language without a locale that names another one (see interfacelanguage.h,
// which chooses the language of every lookup of the program).
constexpr int DefaultInterfaceLanguage = LanguageRussian;

// The text `id` (stringids.h) in `language`, converted from the table's UTF-16
// to UTF-8. An id or language the table does not hold gives an empty text.
std::string loadString(int id, int language = interfaceLanguage());

// The same text as a QString.
QString loadText(int id, int language = interfaceLanguage());

} // namespace quirex::app
