#include "shellopen.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quirex::platform;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

// An opener that records its arguments, one per line, and exits with $1's
// status taken from the environment.
QString makeRecorder(const QString &record, int exitStatus)
{
    const QString script = writeFile(
        QStringLiteral("opener.sh"),
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
            QFile::encodeName(record) + "\nexit " + QByteArray::number(exitStatus) + "\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return script;
}

QString recorded(const QString &record)
{
    QFile file(record);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(ShellOpen, PassesTheAbsolutePathAsOneArgument)
{
    const QString record = scratchFolder() + QStringLiteral("/record.txt");
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(makeRecorder(record, 0)));
    writeFile(QStringLiteral("-rf; echo x.pdf"), "%PDF");
    QDir::setCurrent(scratchFolder());

    EXPECT_GT(shellOpen(QStringLiteral("-rf; echo x.pdf")), 32);
    EXPECT_EQ(recorded(record), scratchFolder() + QStringLiteral("/-rf; echo x.pdf\n"));
}

TEST(ShellOpen, FailuresReadAsResultsOf32OrLess)
{
    const QString target = writeFile(QStringLiteral("doc.pdf"), "%PDF");
    const QString record = scratchFolder() + QStringLiteral("/record.txt");

    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(makeRecorder(record, 4)));
    EXPECT_LE(shellOpen(target), 32);

    qputenv("QUIREX_OPEN_COMMAND", "/no/such/opener");
    EXPECT_LE(shellOpen(target), 32);

    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(makeRecorder(record, 0)));
    EXPECT_EQ(shellOpen(scratchFolder() + QStringLiteral("/missing.pdf")), ShellFileNotFound);
    EXPECT_EQ(shellOpen(QString()), ShellFileNotFound);
}

TEST(ShellOpen, AnOpenerStillRunningAfterTheWaitCountsAsStarted)
{
    const QString script = writeFile(QStringLiteral("slow.sh"), "#!/bin/sh\nsleep 2\nexit 1\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(script));
    EXPECT_EQ(shellOpen(scratchFolder(), 100), ShellOpened);
}

TEST(ShellOpen, DefaultOpenerIsXdgOpen)
{
    qunsetenv("QUIREX_OPEN_COMMAND");
    EXPECT_EQ(shellOpenCommand(QStringLiteral("/a b/c.pdf")),
              (QStringList{QStringLiteral("xdg-open"), QStringLiteral("/a b/c.pdf")}));
}

} // namespace
