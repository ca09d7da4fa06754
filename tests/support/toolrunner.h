#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs the programs of build/bin and registers component libraries, for
// tests that drive the system as a user or client would.
namespace quirex::test
{

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs build/bin/<tool> with `arguments` and `input` on its standard input, in
// `workingDirectory` (empty: this process's); the environment (and so the
// registry in force) is this process's. A run that takes longer than
// `timeoutMs` is killed and reads as exit code -1.
ToolRun runTool(const QString &tool, const QStringList &arguments, const QByteArray &input = {},
                const QString &workingDirectory = QString(), int timeoutMs = 60000);

// Registers the component library at `path` into the registry in force
// (the test's own); true on success.
bool registerComponent(const QString &path);

} // namespace quirex::test
