#include "pagenumbers.h"
#include "textinput.h"

#include <gtest/gtest.h>

using namespace quirex::app;

TEST(TextInput, Utf16IsToldByItsMarkOrItsZeroBytes)
{
    const QByteArray le("H\0i\0 \0t\0h\0e\0r\0e\0", 16);
    const QByteArray be("\0H\0i\0 \0t\0h\0e\0r\0e", 16);
    EXPECT_EQ(detectTextEncoding(le), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(detectTextEncoding(be), TextEncoding::Utf16BigEndian);
    EXPECT_EQ(detectTextEncoding("\xff\xfe\x1f\x04"), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(detectTextEncoding("\xfe\xff\x04\x1f"), TextEncoding::Utf16BigEndian);
    const QString cyrillic = QString::fromUtf8("Привет, мир: 12");
    EXPECT_EQ(detectTextEncoding(QByteArray(reinterpret_cast<const char *>(cyrillic.utf16()),
                                            cyrillic.size() * 2)),
              TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(detectTextEncoding(le + 'x'), TextEncoding::Narrow); // odd length
    EXPECT_EQ(detectTextEncoding(QByteArray("a\0b\0\0c\0d", 8)), TextEncoding::Narrow);
    EXPECT_EQ(detectTextEncoding("plain text"), TextEncoding::Narrow);
    EXPECT_EQ(detectTextEncoding("\xd0\x9f\xd1\x80\xd0\xb8"), TextEncoding::Narrow); // UTF-8
    EXPECT_EQ(detectTextEncoding(QByteArray(8, '\0')), TextEncoding::Narrow);
    EXPECT_EQ(detectTextEncoding(QByteArray()), TextEncoding::Narrow);
}

TEST(TextInput, LinesBecomeOneHtmlStringWithoutEscaping)
{
    const QString open = QStringLiteral("<html><body><font size=\"2\" face=\"Courier New\">");
    const QString close = QStringLiteral("</font></body></html>");
    EXPECT_EQ(textInputHtml("one\r\n<b>two</b>"), open + "one<br><b>two</b><br>" + close);
    EXPECT_EQ(textInputHtml("one\n\nthree\n"), open + "one<br><br>three<br>" + close);
    EXPECT_EQ(textInputHtml("\xd0\x9f\r"), open + QString::fromUtf8("\xd0\x9f\r<br>") + close);
}

TEST(TextInput, Utf16WithoutAMarkIsDecodedAndEscaped)
{
    const QString html =
        utf16TextHtml(QByteArray("\0<\x04\x1f\0&", 6), TextEncoding::Utf16BigEndian);
    EXPECT_TRUE(html.contains(QString::fromUtf8(">&lt;П&amp;</pre>"))) << qPrintable(html);
    EXPECT_TRUE(
        utf16TextHtml(QByteArray("a\0b\0", 4), TextEncoding::Utf16LittleEndian).contains("ab"));
    EXPECT_TRUE(hasUtf16ByteOrderMark("\xfe\xff"));
    EXPECT_FALSE(hasUtf16ByteOrderMark("\xff"));
}

TEST(PageNumbers, TextAndLayoutWord)
{
    EXPECT_EQ(pageNumberText(QString(), 3, 9), QString::fromUtf8("Страница 3"));
    EXPECT_EQ(pageNumberText(QStringLiteral("%c / %t"), 2, 5), QStringLiteral("2 / 5"));
    EXPECT_EQ(pageNumberText(QStringLiteral("%d %c%%t %s %"), 12, 30),
              QStringLiteral("%d 12%30 %s %"));
    EXPECT_EQ(pageNumberLayout(0), QStringLiteral("AlignLeft"));
    EXPECT_EQ(pageNumberLayout(1), QStringLiteral("AlignHCenter"));
    EXPECT_EQ(pageNumberLayout(2), QStringLiteral("AlignRight"));
    EXPECT_EQ(pageNumberLayout(3), QString());
    EXPECT_EQ(pageNumberLayout(-1), QString());
}
