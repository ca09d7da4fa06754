// The files the engine writes: page sizes of one-page mode, the permissions
// of what is written, and what a failed PostScript conversion leaves behind.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

constexpr double kPointsPerPixel = 72.0 / 96.0;

QString paragraphs(int count)
{
    QString html;
    for (int i = 1; i <= count; ++i)
        html += QStringLiteral("<p>Paragraph %1</p>").arg(i);
    return html;
}

// Writes `html` as one document to `path` with a new engine object.
void convert(const QString &path, const QString &html = paragraphs(3))
{
    QUIREX engine;
    engine.setProperty("OutputFileName", path);
    engine.BeginDoc();
    engine.LoadHTMLString(html);
    engine.ConvertAll();
    engine.EndDoc();
}

int permissions(const QString &path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0
               ? static_cast<int>(info.st_mode & 07777)
               : -1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// No temporary file of the engine or the PostScript conversion is left.
QStringList leftovers()
{
    return QDir(scratchFolder())
        .entryList({QStringLiteral(".*.part"), QStringLiteral(".*.tmp")},
                   QDir::Files | QDir::Hidden);
}

} // namespace

TEST(DocumentOutput, OnePageModeGivesEveryDocumentAPageOfItsOwnHeight)
{
    const QString output = scratchFolder() + QStringLiteral("/onepage.pdf");
    QUIREX engine;
    engine.setProperty("OutputFileName", output);
    engine.setProperty("SlicingMode", false);
    engine.BeginDoc();

    engine.LoadHTMLString(QStringLiteral("<p>Short</p>"));
    const int shortHeight = engine.property("PaperHeight").toInt();
    EXPECT_LT(shortHeight, 300) << "one line of text is not a page of A4";
    engine.ConvertAll();
    engine.LoadHTMLString(paragraphs(80));
    const int tallHeight = engine.property("PaperHeight").toInt();
    EXPECT_GT(tallHeight, 1123);
    engine.ConvertAll();
    engine.LoadHTMLString(QStringLiteral("<p>Short again</p>"));
    EXPECT_EQ(engine.property("PaperHeight").toInt(), shortHeight)
        << "a document after a long one is laid out afresh";
    engine.ConvertAll();
    engine.EndDoc();

    const PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 3) << pdf.error().toStdString();
    const int heights[] = {shortHeight, tallHeight, shortHeight};
    for (int page = 0; page < 3; ++page) {
        EXPECT_NEAR(pdf.pageSizePoints(page).height(), heights[page] * kPointsPerPixel, 1)
            << "page " << page + 1;
        EXPECT_NEAR(pdf.pageSizePoints(page).width(), 793 * kPointsPerPixel, 1);
    }
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Short")));
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Paragraph 80")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Short again")));
}

TEST(DocumentOutput, FilesGetThePermissionsOfAPlainWrite)
{
    const mode_t saved = ::umask(027);
    for (const char *name : {"new.pdf", "new.ps"}) {
        const QString path = scratchFolder() + QLatin1Char('/') + QLatin1String(name);
        convert(path);
        EXPECT_EQ(permissions(path), 0640) << name << ": as open(..., 0666) under the umask";
        // A file replaced keeps its own permissions, wider or narrower.
        for (const int mode : {0604, 0600}) {
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
            convert(path, paragraphs(4));
            EXPECT_EQ(permissions(path), mode) << name;
        }
        EXPECT_TRUE(
            readAll(path).startsWith(QString::fromLatin1(name).endsWith(".ps") ? "%!PS" : "%PDF"));
    }
    ::umask(saved);
    EXPECT_EQ(leftovers(), QStringList());
}

TEST(DocumentOutput, FailedPostScriptConversionIsLoggedAndWritesNothing)
{
    // A converting program that fails, found first on the search path.
    const QString bin = quirex::test::makeFolder(QStringLiteral("bin"));
    writeFile(QStringLiteral("bin/pdftops"), "#!/bin/sh\necho 'no fonts today' >&2\nexit 3\n");
    QFile::setPermissions(bin + QStringLiteral("/pdftops"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));

    const QString fresh = scratchFolder() + QStringLiteral("/fresh.ps");
    convert(fresh);
    const QString previous = writeFile(QStringLiteral("previous.ps"), "%!PS previous\n");
    convert(previous);
    qputenv("PATH", savedPath);

    EXPECT_FALSE(QFile::exists(fresh)) << "no file rather than a wrong one";
    EXPECT_EQ(readAll(previous), QByteArray("%!PS previous\n")) << "the previous file is kept";
    EXPECT_EQ(leftovers(), QStringList());
    const QString log = QString::fromLatin1(
        readAll(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("output failed: no PostScript written to ") + previous))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("exit code 3: no fonts today"))) << log.toStdString();
}
