#include "pdfdocument.h"

#include "pdfprobe.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

using quirex::components::PdfDocument;
using quirex::test::PdfProbe;
using quirex::test::scratchFolder;

namespace
{

// A real three-page PDF with one line of text per page.
QString makePdf(const QString &name, const QString &title = QString())
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QPdfWriter writer(path);
    writer.setTitle(title);
    QPainter painter(&writer);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            writer.newPage();
        painter.drawText(200, 400, QStringLiteral("Sample page %1").arg(page));
    }
    painter.end();
    return path;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

int setAll(PdfDocument &document, const QString &author, const QString &subject,
           const QString &title, const QString &keywords)
{
    int failures = 0;
    failures += document.SetAuthor(author, 0) != PdfDocument::ResultOk;
    failures += document.SetSubject(subject, 0) != PdfDocument::ResultOk;
    failures += document.SetTitle(title, 0) != PdfDocument::ResultOk;
    failures += document.SetKeywords(keywords, 0) != PdfDocument::ResultOk;
    return failures;
}

TEST(PdfDocument, WritesAllFourEntriesInPlaceAndKeepsThePages)
{
    const QString path = makePdf(QStringLiteral("report.pdf"), QStringLiteral("Old title"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup);
    PdfDocument document;
    ASSERT_EQ(document.OpenDocument(path, QString()), PdfDocument::ResultOk);
    ASSERT_EQ(setAll(document, QStringLiteral("Иван Петров"), QStringLiteral("Quarterly report"),
                     QStringLiteral("Отчёт за квартал — Ω"), QStringLiteral("finance, отчёт")),
              0);
    ASSERT_EQ(document.SaveDocument(path, 0), PdfDocument::ResultOk);

    const PdfProbe pdf(path);
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    EXPECT_EQ(pdf.pageCount(), 3);
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Sample page 2")));
    EXPECT_EQ(pdf.info("/Author"), QStringLiteral("Иван Петров"));
    EXPECT_EQ(pdf.info("/Subject"), QStringLiteral("Quarterly report"));
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("Отчёт за квартал — Ω"));
    EXPECT_EQ(pdf.info("/Keywords"), QStringLiteral("finance, отчёт"));
    EXPECT_EQ(filesIn(scratchFolder()), QStringList{QStringLiteral("report.pdf")});
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::ReadGroup);

    // What a reader shows.
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path});
    ASSERT_TRUE(pdfinfo.waitForFinished(60000));
    const QString shown = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("Отчёт за квартал — Ω"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("Иван Петров"))) << qPrintable(shown);
}

TEST(PdfDocument, EmptyTextsRemoveEntriesAndASecondSaveWorks)
{
    const QString path = makePdf(QStringLiteral("a.pdf"), QStringLiteral("Engine title"));
    PdfDocument document;
    ASSERT_EQ(document.OpenDocument(path, QString()), PdfDocument::ResultOk);
    ASSERT_EQ(setAll(document, QStringLiteral("A"), QString(), QString(), QString()), 0);
    ASSERT_EQ(document.SaveDocument(path, 0), PdfDocument::ResultOk);
    EXPECT_EQ(PdfProbe(path).info("/Title"), QString());
    EXPECT_EQ(PdfProbe(path).info("/Author"), QStringLiteral("A"));

    ASSERT_EQ(document.SetAuthor(QStringLiteral("B"), 0), PdfDocument::ResultOk);
    ASSERT_EQ(document.SaveDocument(path, 0), PdfDocument::ResultOk);
    EXPECT_EQ(PdfProbe(path).info("/Author"), QStringLiteral("B"));
    EXPECT_EQ(PdfProbe(path).pageCount(), 3);
}

TEST(PdfDocument, MissingOrNonPdfFilesFail)
{
    PdfDocument document;
    EXPECT_EQ(document.OpenDocument(scratchFolder() + QStringLiteral("/none.pdf"), QString()),
              PdfDocument::ResultFail);
    EXPECT_EQ(document.OpenDocument(QString(), QString()), PdfDocument::ResultFail);
    EXPECT_EQ(document.OpenDocument(scratchFolder(), QString()), PdfDocument::ResultFail);
    const QString text =
        quirex::test::writeFile(QStringLiteral("notes.pdf"), "This is plain text, not a PDF.\n");
    EXPECT_EQ(document.OpenDocument(text, QString()), PdfDocument::ResultFail);
    const QString empty = quirex::test::writeFile(QStringLiteral("empty.pdf"), "");
    EXPECT_EQ(document.OpenDocument(empty, QString()), PdfDocument::ResultFail);

    // Nothing is open: every other member fails and no file is written.
    EXPECT_EQ(document.SetTitle(QStringLiteral("x"), 0), PdfDocument::ResultFail);
    EXPECT_EQ(document.SaveDocument(text, 0), PdfDocument::ResultFail);
    EXPECT_EQ(contentsOf(text), QByteArray("This is plain text, not a PDF.\n"));
}

TEST(PdfDocument, FailedOpenClosesThePreviousDocument)
{
    const QString path = makePdf(QStringLiteral("b.pdf"));
    PdfDocument document;
    ASSERT_EQ(document.OpenDocument(path, QString()), PdfDocument::ResultOk);
    EXPECT_EQ(document.OpenDocument(scratchFolder() + QStringLiteral("/none.pdf"), QString()),
              PdfDocument::ResultFail);
    EXPECT_EQ(document.SetAuthor(QStringLiteral("x"), 0), PdfDocument::ResultFail);
}

TEST(PdfDocument, AFailedSaveLeavesTheFileUntouched)
{
    const QString path = makePdf(QStringLiteral("c.pdf"));
    const QByteArray before = contentsOf(path);
    PdfDocument document;
    ASSERT_EQ(document.OpenDocument(path, QString()), PdfDocument::ResultOk);
    ASSERT_EQ(document.SetTitle(QStringLiteral("New"), 0), PdfDocument::ResultOk);

    // Files may grow to 200 bytes only: the write fails part-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = document.SaveDocument(path, 0);
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(result, PdfDocument::ResultFail);
    EXPECT_EQ(contentsOf(path), before);
    EXPECT_EQ(filesIn(scratchFolder()), QStringList{QStringLiteral("c.pdf")});

    // Into a folder that does not exist.
    EXPECT_EQ(document.SaveDocument(scratchFolder() + QStringLiteral("/no/c.pdf"), 0),
              PdfDocument::ResultFail);
    EXPECT_EQ(document.SaveDocument(scratchFolder(), 0), PdfDocument::ResultFail);
}

TEST(PdfDocument, SlotsFormTheInterfaceInOrder)
{
    const QMetaObject &meta = PdfDocument::staticMetaObject;
    QStringList interfaceSlots;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        if (meta.method(i).methodType() == QMetaMethod::Slot &&
            meta.method(i).access() == QMetaMethod::Public)
            interfaceSlots << QString::fromLatin1(meta.method(i).methodSignature());
    EXPECT_EQ(interfaceSlots, (QStringList{QStringLiteral("SaveDocument(QString,int)"),
                                           QStringLiteral("OpenDocument(QString,QString)"),
                                           QStringLiteral("SetAuthor(QString,int)"),
                                           QStringLiteral("SetKeywords(QString,int)"),
                                           QStringLiteral("SetSubject(QString,int)"),
                                           QStringLiteral("SetTitle(QString,int)")}));
}

} // namespace
