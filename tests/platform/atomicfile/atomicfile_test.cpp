#include "atomicfile.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using quirex::platform::AtomicFile;

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat info {
    };
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(AtomicFile, ReplacesInOneStepKeepingModeWithoutSetIdBits)
{
    const QString target = quirex::test::writeFile(QStringLiteral("out/keep.pdf"), "old bytes");
    const QString folder = QFileInfo(target).absolutePath();
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 06755), 0);
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open()) << file.errorString().toStdString();
        EXPECT_TRUE(QFileInfo(file.temporaryPath()).fileName().startsWith(".keep.pdf."));
        EXPECT_TRUE(file.temporaryPath().endsWith(".part"));
        ASSERT_TRUE(file.write("new "));
        ASSERT_TRUE(file.write("bytes"));
        // Until the commit the target is untouched.
        EXPECT_EQ(contents(target), QByteArray("old bytes"));
        ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
        EXPECT_TRUE(file.errorString().isEmpty());
    }
    EXPECT_EQ(contents(target), QByteArray("new bytes"));
    EXPECT_EQ(modeOf(target), mode_t(0755));
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("keep.pdf")});

    // A new file gets the mode asked for, less the umask.
    const mode_t saved = ::umask(022);
    AtomicFile fresh(folder + QStringLiteral("/new.ini"));
    fresh.setNewFileMode(0600);
    ASSERT_TRUE(fresh.open());
    ASSERT_TRUE(fresh.commit());
    ::umask(saved);
    EXPECT_EQ(modeOf(folder + QStringLiteral("/new.ini")), mode_t(0600));
}

TEST(AtomicFile, AbandonAndEveryFailureLeaveTheTargetAsItWas)
{
    const QString target = quirex::test::writeFile(QStringLiteral("out/keep.pdf"), "old bytes");
    const QString folder = QFileInfo(target).absolutePath();
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("partial"));
        file.abandon();
        EXPECT_FALSE(file.commit());
        EXPECT_FALSE(file.errorString().isEmpty());
    }
    {
        // Destroyed without a commit: abandoned too.
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("partial"));
    }
    EXPECT_EQ(contents(target), QByteArray("old bytes"));
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("keep.pdf")});

    // Never replacing: an existing target fails the commit and stays.
    AtomicFile exclusive(target, AtomicFile::Replace::Never);
    ASSERT_TRUE(exclusive.open());
    ASSERT_TRUE(exclusive.write("copy"));
    EXPECT_FALSE(exclusive.commit());
    EXPECT_TRUE(exclusive.errorString().contains(QStringLiteral("exists")));
    EXPECT_EQ(contents(target), QByteArray("old bytes"));
    AtomicFile created(folder + QStringLiteral("/copy.html"), AtomicFile::Replace::Never);
    ASSERT_TRUE(created.open());
    ASSERT_TRUE(created.write("copy"));
    ASSERT_TRUE(created.commit()) << created.errorString().toStdString();
    EXPECT_EQ(contents(folder + QStringLiteral("/copy.html")), QByteArray("copy"));

    // A folder at the target, a missing folder: a reason, nothing left behind.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("x.pdf")));
    AtomicFile ontoFolder(folder + QStringLiteral("/x.pdf"));
    ASSERT_TRUE(ontoFolder.open());
    EXPECT_FALSE(ontoFolder.commit());
    EXPECT_TRUE(ontoFolder.errorString().contains(QStringLiteral("folder")));
    AtomicFile nowhere(folder + QStringLiteral("/missing/a.pdf"));
    EXPECT_FALSE(nowhere.open());
    EXPECT_TRUE(nowhere.errorString().contains(QStringLiteral("No such file")))
        << nowhere.errorString().toStdString();
    EXPECT_EQ(entries(folder), (QStringList{QStringLiteral("copy.html"), QStringLiteral("keep.pdf"),
                                            QStringLiteral("x.pdf")}));
}
