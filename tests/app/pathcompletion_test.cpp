#include "pathcompletion.h"
#include "testenvironment.h"

#include <QDir>

#include <gtest/gtest.h>

using quirex::app::completePath;

TEST(PathCompletion, OutputsAgainstTheInputsFolder)
{
    const QString base = QStringLiteral("/data/docs/in.html");
    const struct {
        const char *path;
        const char *expected;
    } cases[] = {
        {"/abs/out.pdf", "/abs/out.pdf"},
        {"out.pdf", "/data/docs/out.pdf"},
        {"./out.pdf", "/data/docs/out.pdf"},
        {"../out.pdf", "/data/out.pdf"},
        {"./../../out.pdf", "/out.pdf"},
        {"../../../out.pdf", ""}, // above "/"
        {"", "/data/docs/"},
        {"sub/../x.pdf", "/data/docs/sub/../x.pdf"}, // only leading steps count
        {".hidden.pdf", "/data/docs/.hidden.pdf"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(completePath(QString::fromUtf8(c.path), base), QString::fromUtf8(c.expected))
            << c.path;
    EXPECT_EQ(completePath(QStringLiteral("../x"), QStringLiteral("/in.html")), QString());
    EXPECT_EQ(completePath(QStringLiteral("x"), QStringLiteral("/in.html")), QStringLiteral("/x"));
}

TEST(PathCompletion, InputsAgainstTheCurrentFolder)
{
    const QString folder = quirex::test::makeFolder(QStringLiteral("work/here"));
    ASSERT_TRUE(QDir::setCurrent(folder));
    const QString current = QDir::currentPath();
    EXPECT_EQ(completePath(QStringLiteral("report.html")),
              current + QStringLiteral("/report.html"));
    EXPECT_EQ(completePath(QStringLiteral("../a.html")),
              QDir::cleanPath(current + QStringLiteral("/../a.html")));
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("/")));
    EXPECT_EQ(completePath(QStringLiteral("a.html")), QStringLiteral("/a.html"));
    EXPECT_EQ(completePath(QStringLiteral("../a.html")), QString());
}
