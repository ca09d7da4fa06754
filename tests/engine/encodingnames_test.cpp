#include "encodingnames.h"
#include "webpageloader.h"

#include <QTextCodec>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

// The converter's encoding list, in its order.
const char *const converterEncodings[] = {"Apple Roman",
                                          "arabic",
                                          "ASMO-708",
                                          "Big5",
                                          "Big5-ETen",
                                          "Big5-HKSCS",
                                          "CP1250",
                                          "CP1251",
                                          "CP1252",
                                          "CP1253",
                                          "CP1254",
                                          "CP1255",
                                          "CP1256",
                                          "CP1257",
                                          "CP1258",
                                          "CP819",
                                          "CP850",
                                          "CP866",
                                          "CP874",
                                          "CP936",
                                          "CP949",
                                          "CP950",
                                          "csHPRoman8",
                                          "csIBM866",
                                          "csISOLatin1",
                                          "csISOLatin2",
                                          "csISOLatin3",
                                          "csISOLatin4",
                                          "csISOLatin5",
                                          "csISOLatin6",
                                          "csISOLatinArabic",
                                          "csISOLatinCyrillic",
                                          "csISOLatinGreek",
                                          "csISOLatinHebrew",
                                          "csKOI8R",
                                          "csPC850Multilingual",
                                          "cyrillic",
                                          "ECMA-114",
                                          "ECMA-118",
                                          "EUC-JP",
                                          "EUC-KR",
                                          "GB18030",
                                          "GB2312",
                                          "GBK",
                                          "greek",
                                          "hebrew",
                                          "hp-roman8",
                                          "IBM819",
                                          "IBM850",
                                          "IBM866",
                                          "IBM874",
                                          "iscii-bng",
                                          "iscii-dev",
                                          "iscii-gjr",
                                          "iscii-knd",
                                          "iscii-mlm",
                                          "iscii-ori",
                                          "iscii-pnj",
                                          "iscii-tlg",
                                          "iscii-tml",
                                          "ISO 8859-11",
                                          "ISO 8859-8-I",
                                          "ISO-2022-JP",
                                          "ISO-8859-1",
                                          "ISO-8859-10",
                                          "ISO-8859-10:1992",
                                          "ISO-8859-13",
                                          "ISO-8859-14",
                                          "ISO-8859-15",
                                          "ISO-8859-16",
                                          "ISO-8859-2",
                                          "ISO-8859-3",
                                          "ISO-8859-4",
                                          "ISO-8859-5",
                                          "ISO-8859-6",
                                          "ISO-8859-6-I",
                                          "ISO-8859-7",
                                          "ISO-8859-8",
                                          "ISO-8859-9",
                                          "iso-celtic",
                                          "iso-ir-100",
                                          "iso-ir-101",
                                          "iso-ir-109",
                                          "iso-ir-110",
                                          "iso-ir-126",
                                          "iso-ir-127",
                                          "iso-ir-138",
                                          "iso-ir-144",
                                          "iso-ir-148",
                                          "iso-ir-157",
                                          "iso-ir-199",
                                          "iso-ir-226",
                                          "JIS7",
                                          "KOI8-R",
                                          "KOI8-RU",
                                          "KOI8-U",
                                          "latin1",
                                          "latin10",
                                          "latin2",
                                          "latin3",
                                          "latin4",
                                          "latin5",
                                          "latin6",
                                          "latin8",
                                          "latin9",
                                          "macintosh",
                                          "MacRoman",
                                          "MS936",
                                          "MS_Kanji",
                                          "roman8",
                                          "Shift_JIS",
                                          "SJIS",
                                          "TIS-620",
                                          "TSCII",
                                          "UTF-16",
                                          "UTF-16BE",
                                          "UTF-16LE",
                                          "UTF-32",
                                          "UTF-32BE",
                                          "UTF-32LE",
                                          "UTF-8",
                                          "windows-1250",
                                          "windows-1251",
                                          "windows-1252",
                                          "windows-1253",
                                          "windows-1254",
                                          "windows-1255",
                                          "windows-1256",
                                          "windows-1257",
                                          "windows-1258",
                                          "windows-936",
                                          "windows-949",
                                          "WINSAMI2",
                                          "WS2"};

// Letters of many scripts; each character set gets those it can encode.
const QString scriptSample = QString::fromUtf8(
    "日本語のテキスト中文繁體字简体中文한국어똠방각하ภาษาไทยΕλληνικάРусскийУкраїнська"
    "עבריתالعربيةĂăȘșȚțŁłŐőŰűÆØÅæøåßäöüÿŸŒœ€₩¥");

// The reference table for a name: Qt's codec for the name the web engine
// gets, else for the name itself (Qt 5 dropped a few aliases).
QTextCodec *referenceCodec(const QString &name)
{
    if (name == QLatin1String("JIS7"))
        return QTextCodec::codecForName("ISO-2022-JP");
    if (QTextCodec *codec = QTextCodec::codecForName(webKitEncodingName(name).toLatin1()))
        return codec;
    return QTextCodec::codecForName(name.toLatin1());
}

// Text the codec round-trips: every printable character of bytes A0..FF for
// single-byte sets, and the letters of scriptSample it can encode.
QString sampleFor(QTextCodec *codec)
{
    QString sample;
    QByteArray high;
    for (int byte = 0xA0; byte <= 0xFF; ++byte)
        high.append(char(byte));
    for (const QChar ch : codec->toUnicode(high)) {
        if (ch.isPrint() && ch != QChar::ReplacementCharacter &&
            codec->fromUnicode(QString(ch)).size() == 1)
            sample += ch;
    }
    for (const QChar ch : scriptSample) {
        if (!sample.contains(ch) && codec->canEncode(ch) &&
            codec->toUnicode(codec->fromUnicode(QString(ch))) == QString(ch))
            sample += ch;
    }
    return sample;
}

TEST(EncodingNames, MapsNamesTheWebEngineLacks)
{
    EXPECT_EQ(webKitEncodingName(QStringLiteral("latin9")), QStringLiteral("ISO-8859-15"));
    EXPECT_EQ(webKitEncodingName(QStringLiteral("LATIN9")), QStringLiteral("ISO-8859-15"));
    EXPECT_EQ(webKitEncodingName(QStringLiteral("Big5-ETen")), QStringLiteral("Big5"));
    EXPECT_EQ(webKitEncodingName(QStringLiteral("windows-1251")), QStringLiteral("windows-1251"));
    EXPECT_EQ(webKitEncodingName(QStringLiteral("No-Such-Codec")), QStringLiteral("No-Such-Codec"));
    EXPECT_EQ(webKitEncodingName(QString()), QString());
    for (const QString &name : encodingsWithoutWebKitCodec())
        EXPECT_EQ(webKitEncodingName(name), name);
}

// Every name of the converter's list either decodes, through the name it
// maps to, exactly as its character set's table says, or is listed as having
// no codec in the web engine (and then really falls back to Latin-1).
TEST(EncodingNames, EveryConverterEncodingDecodesAsItsCharacterSet)
{
    const QStringList withoutCodec = encodingsWithoutWebKitCodec();
    QWebPage page;
    for (const char *entry : converterEncodings) {
        const QString name = QString::fromLatin1(entry);
        SCOPED_TRACE(entry);
        QWebSettings::globalSettings()->setDefaultTextEncoding(webKitEncodingName(name));

        if (withoutCodec.contains(name)) {
            ASSERT_TRUE(quirex::test::loadBytes(page, "<html><body>x</body></html>"));
            EXPECT_EQ(page.mainFrame()->evaluateJavaScript("document.characterSet").toString(),
                      QStringLiteral("ISO-8859-1"));
            continue;
        }

        QTextCodec *codec = referenceCodec(name);
        ASSERT_NE(codec, nullptr);
        const QString sample = sampleFor(codec);
        ASSERT_GE(sample.size(), 15);
        const QByteArray bytes = codec->fromUnicode(QStringLiteral("<html><body>") + sample +
                                                    QStringLiteral("</body></html>"));
        ASSERT_TRUE(quirex::test::loadBytes(page, bytes));
        EXPECT_EQ(page.mainFrame()->evaluateJavaScript("document.body.textContent").toString(),
                  sample)
            << "decoded as "
            << page.mainFrame()
                   ->evaluateJavaScript("document.characterSet")
                   .toString()
                   .toStdString();
    }
}

} // namespace
