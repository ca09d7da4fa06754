#pragma once

#include <QString>

#include <string>

namespace quirex::app
{

// Language ids of the string table.
constexpr int LanguageEnglish = 0x0409;
constexpr int LanguageRussian = 0x0419;
// Every lookup of the program uses this one language.
constexpr int InterfaceLanguage = LanguageRussian;

// The text `id` (stringids.h) in `language`, converted from the table's UTF-16
// to UTF-8. An id or language the table does not hold gives an empty text.
std::string loadString(int id, int language = InterfaceLanguage);

// The same text as a QString.
QString loadText(int id, int language = InterfaceLanguage);

} // namespace quirex::app
