#include "handoffmessage.h"

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{
QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}
} // namespace

TEST(HandOffMessage, DecodesUtf16UpToTheFirstNulOrTheLastWholeCharacter)
{
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const QString cyrillic = QStringLiteral("C:/Отчёт/job.ini");
    const Case cases[] = {
        {QByteArray(), QString()},
        {QByteArray(1, 'a'), QString()},
        {utf16(QStringLiteral("\"/tmp/a b.ini\"")), QStringLiteral("\"/tmp/a b.ini\"")},
        {utf16(QStringLiteral("abc")) + QByteArray(2, '\0') + utf16(QStringLiteral("def")),
         QStringLiteral("abc")},
        {QByteArray(2, '\0') + utf16(QStringLiteral("x")), QString()},
        // An odd last byte is not a character.
        {utf16(QStringLiteral("ab")) + 'c', QStringLiteral("ab")},
        // A NUL in the high byte only is not a NUL character.
        {QByteArray("\x00\x41", 2), QString(QChar(0x4100))},
        {utf16(cyrillic), cyrillic},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeHandOffMessage(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(HandOffMessage, KeepsUnpairedSurrogatesAndFillsTheWholeLimit)
{
    const QByteArray lone("\x00\xd8\x41\x00", 4);
    const QString text = decodeHandOffMessage(lone);
    ASSERT_EQ(text.size(), 2);
    EXPECT_EQ(text.at(0).unicode(), 0xd800);

    const QString full(kHandOffMaxBytes / 2, QLatin1Char('q'));
    EXPECT_EQ(decodeHandOffMessage(encodeHandOffMessage(full)), full);
}

TEST(HandOffMessage, EncodesWithoutNulButAnEmptyTextAsOneNul)
{
    EXPECT_EQ(encodeHandOffMessage(QStringLiteral("a\u00e9")), QByteArray("a\x00\xe9\x00", 4));
    EXPECT_EQ(encodeHandOffMessage(QString()), QByteArray(2, '\0'));
    EXPECT_EQ(decodeHandOffMessage(encodeHandOffMessage(QString())), QString());
}

TEST(HandOffMessage, RegistryTextLosesQuotesAtTheEndThenAtTheStart)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("\"/tmp/a b.ini\""), QStringLiteral("/tmp/a b.ini")},
        {QStringLiteral("\"\"x\"\"\""), QStringLiteral("x")},
        {QStringLiteral("a\"b"), QStringLiteral("a\"b")},
        {QStringLiteral("\"\"\""), QString()},
        {QStringLiteral("\"only start"), QStringLiteral("only start")},
        {QString(), QString()},
    };
    for (const auto &[text, stored] : cases)
        EXPECT_EQ(handOffRegistryText(text), stored) << qPrintable(text);
}
