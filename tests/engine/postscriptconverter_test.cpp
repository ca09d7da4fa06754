#include "postscriptconverter.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

// ---- Output format rule ---------------------------------------------------

struct FormatCase {
    const char *fileName;
    bool postScriptFormat;
    bool expected;
};

// Names the case in test names and failure messages.
void PrintTo(const FormatCase &c, std::ostream *out)
{
    *out << c.fileName << (c.postScriptFormat ? " with" : " without") << " PostScriptFormat";
}

class OutputFormat : public testing::TestWithParam<FormatCase>
{
};

TEST_P(OutputFormat, FollowsSuffixThenProperty)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(writesPostScript(QString::fromUtf8(c.fileName), c.postScriptFormat), c.expected)
        << c.fileName << " with PostScriptFormat " << c.postScriptFormat;
}

const FormatCase formatCases[] = {
    {"document.pdf", true, false},
    {"document.PDF", true, false},
    {"document.ps", false, true},
    {"document.Ps", false, true},
    {"/out/x.ps.pdf", true, false},
    {"/out/x.pdf.ps", false, true},
    {"document.eps", false, false},
    {"document.eps", true, true},
    {"document", true, true},
    {"document", false, false},
    {"", true, true},
    {"", false, false},
    {"/out/ps", false, false},
    {"/out.ps/document", false, false},
    {"/out/document.pdf ", true, true},
    {"/out/.ps", false, true},
};

INSTANTIATE_TEST_SUITE_P(Names, OutputFormat, testing::ValuesIn(formatCases));

// ---- Conversion -----------------------------------------------------------

// A PDF of `pages` pages with a line of text on each; the second page, when
// there is one, is Letter and the others A4.
QString makePdf(const QString &path, int pages)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&printer);
    for (int page = 1; page <= pages; ++page) {
        painter.drawText(QPointF(100, 100), QStringLiteral("Page %1").arg(page));
        if (page < pages) {
            printer.setPageSize(QPageSize(page == 1 ? QPageSize::Letter : QPageSize::A4));
            printer.newPage();
        }
    }
    painter.end();
    return path;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

// Files in `folder` other than the given ones: leftovers of a conversion.
QStringList otherFiles(const QString &folder, const QStringList &expected)
{
    QStringList files =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : expected)
        files.removeAll(name);
    return files;
}

// A new folder for the running test, so tests also pass when they share a
// process.
QString freshFolder()
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    QString name =
        QString::fromLatin1(test->test_suite_name()) + u'-' + QString::fromLatin1(test->name());
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return quirex::test::makeFolder(name);
}

QString writeScript(const QString &name, const QByteArray &body)
{
    const QString path =
        quirex::test::writeFile(QStringLiteral("scripts/") + name, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(PostScriptConverter, ConvertsEveryPageAtItsOwnSize)
{
    const QString folder = freshFolder();
    const QString pdf = makePdf(folder + QStringLiteral("/in.pdf"), 3);
    const QString ps = folder + QStringLiteral("/out.ps");

    PostScriptConverter converter;
    ASSERT_TRUE(converter.convert(pdf, ps)) << converter.errorString().toStdString();
    EXPECT_TRUE(converter.errorString().isEmpty());

    const QByteArray output = readAll(ps);
    EXPECT_TRUE(output.startsWith("%!PS-Adobe-3.0"));
    EXPECT_TRUE(output.contains("\n%%Pages: 3\n"));
    EXPECT_TRUE(output.contains("\n%%LanguageLevel: 3\n"));
    // Letter is 612 x 792 points, A4 595 x 842.
    EXPECT_TRUE(output.contains("612 792")) << "the Letter page lost its size";
    EXPECT_TRUE(output.contains("595 842"));
    EXPECT_EQ(otherFiles(folder, {"in.pdf", "out.ps"}), QStringList());
}

TEST(PostScriptConverter, ReplacesAnExistingFile)
{
    const QString folder = freshFolder();
    const QString pdf = makePdf(folder + QStringLiteral("/in.pdf"), 1);
    const QString ps = writeBytes(folder + QStringLiteral("/out.ps"), "old contents");

    PostScriptConverter converter;
    ASSERT_TRUE(converter.convert(pdf, ps)) << converter.errorString().toStdString();
    EXPECT_TRUE(readAll(ps).startsWith("%!PS-Adobe-3.0"));
    EXPECT_TRUE(QFile::permissions(ps) & QFile::ReadOwner);
    EXPECT_EQ(otherFiles(folder, {"in.pdf", "out.ps"}), QStringList());
}

struct FailureCase {
    const char *what;
    const char *inputContents; // nullptr: no input file
    const char *script;        // nullptr: the real pdftops
    int timeoutMs;
};

// Names the case in test names and failure messages.
void PrintTo(const FailureCase &c, std::ostream *out)
{
    *out << c.what;
}

class ConversionFailure : public testing::TestWithParam<FailureCase>
{
};

// A failure leaves neither a new output file nor a temporary file, and an
// existing output file keeps its contents.
TEST_P(ConversionFailure, LeavesNoOutput)
{
    const FailureCase &c = GetParam();
    const QString folder = freshFolder();
    const QString pdf = folder + QStringLiteral("/in.pdf");
    if (c.inputContents)
        writeBytes(pdf, c.inputContents);

    for (const bool outputExists : {false, true}) {
        const QString ps = folder + QStringLiteral("/out.ps");
        QFile::remove(ps);
        if (outputExists)
            writeBytes(ps, "previous");

        PostScriptConverter converter;
        if (c.script)
            converter.setProgram(writeScript(QStringLiteral("program.sh"), c.script));
        converter.setTimeoutMs(c.timeoutMs);
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(converter.convert(pdf, ps)) << c.what;
        EXPECT_LT(clock.elapsed(), 20000) << c.what;
        EXPECT_FALSE(converter.errorString().isEmpty()) << c.what;

        QStringList expected{"out.ps"};
        if (c.inputContents)
            expected << "in.pdf";
        if (outputExists)
            EXPECT_EQ(readAll(ps), QByteArray("previous")) << c.what;
        else
            EXPECT_FALSE(QFile::exists(ps)) << c.what;
        EXPECT_EQ(otherFiles(folder, expected), QStringList()) << c.what;
    }
}

const FailureCase failureCases[] = {
    {"missing input", nullptr, nullptr, 60000},
    {"input that is not a PDF", "this is not a PDF\n", nullptr, 60000},
    {"truncated PDF", "%PDF-1.4\n1 0 obj\n<< /Type /Catalog", nullptr, 60000},
    {"program that hangs", "%PDF-1.4\n", "exec sleep 60", 500},
    {"program that fails after writing", "%PDF-1.4\n", "echo '%!PS-Adobe-3.0' > \"$6\"; exit 3",
     60000},
    {"program that writes no PostScript", "%PDF-1.4\n", "echo garbage > \"$6\"", 60000},
    {"program that crashes", "%PDF-1.4\n", "kill -SEGV $$", 60000},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ConversionFailure, testing::ValuesIn(failureCases));

TEST(PostScriptConverter, ReportsAProgramThatCannotStart)
{
    const QString folder = freshFolder();
    const QString pdf = makePdf(folder + QStringLiteral("/in.pdf"), 1);
    PostScriptConverter converter;
    converter.setProgram(folder + QStringLiteral("/no-such-program"));
    EXPECT_FALSE(converter.convert(pdf, folder + QStringLiteral("/out.ps")));
    EXPECT_EQ(otherFiles(folder, {"in.pdf"}), QStringList());
}

TEST(PostScriptConverter, ReportsAFolderThatCannotBeWritten)
{
    const QString folder = freshFolder();
    const QString pdf = makePdf(folder + QStringLiteral("/in.pdf"), 1);
    PostScriptConverter converter;
    EXPECT_FALSE(converter.convert(pdf, folder + QStringLiteral("/missing/out.ps")));
    EXPECT_FALSE(converter.errorString().isEmpty());
}

} // namespace
