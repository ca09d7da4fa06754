#include "stringtable.h"

#include "stringids.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

// Every id the program's windows and messages use.
const int kIds[] = {
    129,  135,  136,  139,  140,  153,  156,  157,  2001, 2002, 2003, 2005, 2010, 2016, 2022, 2023,
    2025, 2026, 2028, 2029, 2030, 2034, 2035, 2041, 2046, 2047, 2048, 3001, 3002, 3003, 3004, 3005,
    3006, 3007, 3008, 3009, 3010, 3011, 3021, 3022, 3023, 3027, 3029, 3031, 7038, 7039, 7074, 7085,
    7086, 7089, 7093, 7103, 7107, 7108, 7109, 7112, 7113, 7114, 7115, 7116, 7117, 7118, 7119, 7120,
    7121, 7123, 7124, 7125, 7126, 7127, 7129, 7130, 7131, 7132, 7133, 7134, 7135, 7142, 7143, 7144};

QStringList directives(const QString &text)
{
    QStringList found;
    auto it = QRegularExpression(QStringLiteral("%[sd]")).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    return found;
}

class StringTableId : public testing::TestWithParam<int>
{
};

TEST_P(StringTableId, ExistsInBothLanguagesWithTheSameDirectives)
{
    const int id = GetParam();
    const QString english = loadText(id, LanguageEnglish);
    const QString russian = loadText(id, LanguageRussian);
    EXPECT_FALSE(english.isEmpty());
    EXPECT_FALSE(russian.isEmpty());
    EXPECT_EQ(loadText(id), russian); // the interface language
    EXPECT_EQ(directives(english), directives(russian));
    EXPECT_EQ(loadString(id), russian.toStdString());
}

INSTANTIATE_TEST_SUITE_P(AllIds, StringTableId, testing::ValuesIn(kIds));

TEST(StringTable, LooksUpTheRussianTexts)
{
    EXPECT_EQ(DefaultInterfaceLanguage, 0x0419);
    EXPECT_EQ(loadText(strings::ErrorTitle), QStringLiteral("Ошибка"));
    EXPECT_EQ(loadString(strings::PageNumberPattern), std::string("Страница %d"));
    EXPECT_EQ(loadText(strings::HelpMissing),
              QStringLiteral("Файл помощи \"%s\" не найден.\nПопробуйте переустановить "
                             "приложение."));
    EXPECT_EQ(loadText(strings::ProductName), QStringLiteral("Quirex Desk"));
    EXPECT_EQ(loadText(strings::HelpFolder), QStringLiteral("Quirex"));
    EXPECT_EQ(loadText(strings::PageNumberPattern, LanguageEnglish), QStringLiteral("Page %d"));
}

TEST(StringTable, MissingIdOrLanguageGivesAnEmptyText)
{
    EXPECT_EQ(loadText(2004), QString());
    EXPECT_EQ(loadString(0), std::string());
    EXPECT_EQ(loadText(65535), QString());
    EXPECT_EQ(loadText(-1), QString());
    EXPECT_EQ(loadText(strings::ErrorTitle, 0x0407), QString());
}

} // namespace

TEST(StringTable, InterfaceLanguageFollowsTheLocale)
{
    const struct {
        const char *override, *lcAll, *lcMessages, *lang;
        int language;
    } cases[] = {
        {"", "", "", "", LanguageRussian},                 // nothing set
        {"", "", "", "C", LanguageRussian},                // no language named
        {"", "POSIX", "", "en_US.UTF-8", LanguageRussian}, // the first set one decides
        {"", "", "", "C.UTF-8", LanguageRussian},
        {"", "", "", "ru_RU.UTF-8", LanguageRussian},
        {"", "", "", "ru", LanguageRussian},
        {"", "", "", "de_DE@euro", LanguageEnglish},             // any other language
        {"", "", "en_GB.UTF-8", "ru_RU.UTF-8", LanguageEnglish}, // LC_MESSAGES before LANG
        {"", "ru_UA.UTF-8", "en_GB.UTF-8", "", LanguageRussian}, // LC_ALL before both
        {"", "", "", "rus_XX", LanguageEnglish},                 // "ru" only as a whole
        {"en", "", "", "ru_RU.UTF-8", LanguageEnglish},          // the override wins
        {"RU", "en_US.UTF-8", "", "", LanguageRussian},
        {"fr", "", "", "en_US.UTF-8", LanguageEnglish}, // an unknown override is ignored
    };
    for (const auto &c : cases)
        EXPECT_EQ(languageFromLocale(c.override, c.lcAll, c.lcMessages, c.lang), c.language)
            << c.override << "|" << c.lcAll << "|" << c.lcMessages << "|" << c.lang;
}
