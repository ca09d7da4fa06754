#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Helpers shared by the tests that use the test component library.
namespace componenttest
{

QString componentPath();

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs build/bin/<tool> with `arguments` and `input` on its standard input; the environment
// (and so the registry in force) is this process's.
ToolRun runTool(const QString &tool, const QStringList &arguments, const QByteArray &input = {});

// Registers the test component into the registry in force; true on success.
bool registerComponent();

} // namespace componenttest
