#include "messagebox.h"

#include "stringids.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quirex::app;
using namespace quirex::app::ui;

namespace
{

// Collects the lines of boxes shown without a display (the tests run on the
// offscreen platform, where a box falls back to its one-line report).
class MessageBoxTest : public testing::Test
{
protected:
    void SetUp() override
    {
        setHeadlessMessageSink([this](const QString &line) { lines << line; });
    }
    void TearDown() override { setHeadlessMessageSink({}); }
    QStringList lines;
};

TEST_F(MessageBoxTest, HeadlessBoxesGiveTheirDefaultAnswer)
{
    EXPECT_EQ(showMessageBox(QStringLiteral("URL \"a\" is converted\n\nOpen it?"),
                             QStringLiteral("Quirex Desk"), MessageIcon::Information,
                             MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(showMessageBox(QStringLiteral("text"), QStringLiteral("Error"), MessageIcon::Error),
              MessageAnswer::Ok);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Quirex Desk: URL \"a\" is converted  Open it?"),
                                  QStringLiteral("Error: text")}));
}

TEST_F(MessageBoxTest, BoxesUseTheRussianTexts)
{
    errorBox(strings::OutputPathNotCorrect, strings::ErrorTitle);
    warningBox(strings::LimitExceeded, strings::WarningTitle);
    formattedErrorBox(strings::ConversionFailed, QStringLiteral("/home/u/%d.html"), -10,
                      strings::ErrorTitle);
    formattedErrorBox(strings::FolderMissing, QStringLiteral("/no/such"), strings::ErrorTitle);
    EXPECT_EQ(
        lines,
        (QStringList{
            QStringLiteral("Ошибка: Выходной путь не корректен."),
            QStringLiteral("Внимание: Достигнут предел. Вы не можете добавить больше файлов."),
            QStringLiteral("Ошибка: Во время конвертирования файла "
                           "\"/home/u/%d.html\" произошла ошибка. Код ошибки = -10."),
            QStringLiteral("Ошибка: Директория \"/no/such\" не найдена. Не возможно "
                           "сохранить файл(ы).")}));
}

TEST_F(MessageBoxTest, EngineExceptionBoxShowsTheSignedCode)
{
    engineExceptionBox(int32_t(0x80020006u), QStringLiteral("Unknown name."));
    EXPECT_EQ(lines, QStringList{QStringLiteral("Error: Quirex Addon has thrown an exception:  "
                                                "com error: -2147352570 - Unknown name.")});
}

} // namespace
