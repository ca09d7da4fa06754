#include "diagnostic.h"

#include <gtest/gtest.h>

using namespace quirex::app;

TEST(Diagnostic, RecordHasItsFourFields)
{
    EXPECT_EQ(diagnosticRecord(QStringLiteral("pipe_srv_read_pipe_proc(): failed to ReadFile()."),
                               90, 101, QStringLiteral("pipe_srv")),
              QByteArray("error:\nmsg: pipe_srv_read_pipe_proc(): failed to ReadFile().\n"
                         "errcode: 90\nline: 101\nfile: pipe_srv\n"));
    // Percent signs in a message are text, not directives.
    EXPECT_EQ(diagnosticRecord(QStringLiteral("%s%n"), -1, 81, QStringLiteral("DlgConverter")),
              QByteArray("error:\nmsg: %s%n\nerrcode: -1\nline: 81\nfile: DlgConverter\n"));
}
