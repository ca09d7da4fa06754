#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace quirex::test
{

// The per-process scratch folder made by the test main; removed at exit.
// Every test runs in its own process, so this is a fresh folder per test.
QString scratchFolder();

// A new empty folder below scratchFolder().
QString makeFolder(const QString &name);

// Writes `contents` to scratchFolder()/relativePath (creating folders) and
// returns the absolute path.
QString writeFile(const QString &relativePath, const QByteArray &contents);

// Points QUIREX_LOG_DIR, QUIREX_REGISTRY, XDG_CONFIG_HOME, XDG_CONFIG_DIRS,
// XDG_RUNTIME_DIR and HOME into the scratch folder, and sets QUIREX_LANGUAGE
// to ru. Called by the test main.
void isolateEnvironment();

// The environment for a program run under xvfb-run: this one, with Qt's X
// platform on the display xvfb-run gives it, and no OpenGL.
QProcessEnvironment xvfbEnvironment();

} // namespace quirex::test
