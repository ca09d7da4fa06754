// The installed tree, as `cmake --install` writes it and as the package ships it: installed into
// a temporary prefix, moved elsewhere, and used by a user who has no registry of their own.
#include "pdfprobe.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment, const QByteArray &input = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(scratchFolder());
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    ProgramRun run;
    if (process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A user nobody set up: an empty home, no registry of their own, no system layer, and a locale
// naming no language.
QProcessEnvironment newUser(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"QUIREX_REGISTRY", "XDG_CONFIG_HOME", "QUIREX_LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), scratchFolder() + QStringLiteral("/xdg"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

TEST(Installation, MovedPrefixConvertsForANewUser)
{
    const QString installed = scratchFolder() + QStringLiteral("/installed");
    QProcessEnvironment building = QProcessEnvironment::systemEnvironment();
    const ProgramRun install =
        runProgram(QStringLiteral(QUIREX_CMAKE_COMMAND),
                   {QStringLiteral("--install"), QStringLiteral(QUIREX_BUILD_DIR),
                    QStringLiteral("--prefix"), installed},
                   building);
    ASSERT_EQ(install.exitCode, 0) << qPrintable(install.err);

    QDir().mkpath(scratchFolder() + QStringLiteral("/elsewhere"));
    const QString prefix = scratchFolder() + QStringLiteral("/elsewhere/quirex");
    ASSERT_TRUE(QDir().rename(installed, prefix));

    // The layout, and nothing that points back into the build or the first prefix.
    for (const char *file :
         {"bin/quirexdesk", "bin/quirexpdf", "bin/quirexscript", "bin/regsvr",
          "lib/quirex/quirex.so", "lib/quirex/pdfdocument.so", "lib/quirex/registry.ini",
          "share/quirex/help/index.html", "share/quirex/examples/welcome.html",
          "share/man/man1/quirexdesk.1.gz", "share/man/man1/quirexscript.1.gz",
          "share/man/man1/regsvr.1.gz", "share/man/man1/quirexpdf.1.gz",
          "share/applications/quirexdesk.desktop",
          "share/icons/hicolor/scalable/apps/quirexdesk.svg", "share/doc/quirex/copyright",
          "share/doc/quirex/changelog.gz"})
        EXPECT_TRUE(QFileInfo::exists(prefix + QLatin1Char('/') + QLatin1String(file))) << file;
    for (const char *binary : {"bin/quirexdesk", "bin/quirexpdf", "bin/quirexscript", "bin/regsvr",
                               "lib/quirex/quirex.so", "lib/quirex/pdfdocument.so"}) {
        const ProgramRun dynamic =
            runProgram(QStringLiteral("readelf"),
                       {QStringLiteral("-d"), prefix + QLatin1Char('/') + binary}, building);
        ASSERT_EQ(dynamic.exitCode, 0) << binary;
        EXPECT_FALSE(dynamic.out.contains(QStringLiteral("PATH")))
            << binary << dynamic.out.toStdString();
    }
    const QString registry = readText(prefix + QStringLiteral("/lib/quirex/registry.ini"));
    EXPECT_TRUE(registry.contains(QStringLiteral("@=\"quirex.so\""))) << registry.toStdString();
    EXPECT_FALSE(registry.contains(QStringLiteral(QUIREX_BUILD_DIR)));
    const ProgramRun manual = runProgram(
        QStringLiteral("gzip"),
        {QStringLiteral("-dc"), prefix + QStringLiteral("/share/man/man1/regsvr.1.gz")}, building);
    EXPECT_TRUE(manual.out.startsWith(QStringLiteral(".TH REGSVR 1"))) << qPrintable(manual.out);
    EXPECT_TRUE(manual.out.contains(QStringLiteral("\\-\\-system")));

    const QString home = scratchFolder() + QStringLiteral("/newhome");
    QDir().mkpath(home);
    const QProcessEnvironment user = newUser(home);
    const QString input = quirex::test::writeFile(
        QStringLiteral("moved.html"), "<html><body><p>Converted by a moved tree</p></body></html>");
    const ProgramRun desk = runProgram(prefix + QStringLiteral("/bin/quirexdesk"),
                                       {input, QStringLiteral("moved.pdf")}, user);
    EXPECT_EQ(desk.exitCode, 0) << qPrintable(desk.err);
    const PdfProbe deskPdf(scratchFolder() + QStringLiteral("/moved.pdf"));
    EXPECT_EQ(deskPdf.pageCount(), 1);
    EXPECT_TRUE(deskPdf.text().contains(QStringLiteral("Converted by a moved tree")));

    const QString scripted = scratchFolder() + QStringLiteral("/scripted.pdf");
    const ProgramRun script =
        runProgram(prefix + QStringLiteral("/bin/quirexscript"), {}, user,
                   "create quirex.QUIREX\nput OutputFileName \"" + QFile::encodeName(scripted) +
                       "\"\ncall BeginDoc\ncall LoadHTMLString \"<p>Scripted</p>\"\n"
                       "call ConvertAll\ncall EndDoc\nrelease\n");
    EXPECT_EQ(script.exitCode, 0) << qPrintable(script.err);
    EXPECT_TRUE(PdfProbe(scripted).text().contains(QStringLiteral("Scripted")));

    // Without a display the help names the installed page.
    const ProgramRun help =
        runProgram(prefix + QStringLiteral("/bin/quirexdesk"), {QStringLiteral("/help")}, user);
    EXPECT_TRUE(help.out.contains(prefix + QStringLiteral("/share/quirex/help/")))
        << qPrintable(help.out);

    // Nothing was registered for the user.
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/.config/Ardenwyke/registry.ini")));
}

// Every option word a program's help prints is in its manual page.
TEST(Installation, ManualPagesCoverTheHelp)
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const struct {
        const char *program, *help;
    } programs[] = {{"quirexdesk", "/help"},
                    {"quirexpdf", "--help"},
                    {"quirexscript", "--help"},
                    {"regsvr", "--help"}};
    const QRegularExpression optionWord(QStringLiteral("(?<![\\w/])([-/]{1,2}[a-z][a-z0-9-]*)"));
    for (const auto &entry : programs) {
        const QString name = QLatin1String(entry.program);
        const ProgramRun help = runProgram(QStringLiteral(QUIREX_BUILD_DIR "/bin/") + name,
                                           {QLatin1String(entry.help)}, environment);
        EXPECT_EQ(help.exitCode, 0) << entry.program;
        const QString usage = help.out.mid(help.out.indexOf(QStringLiteral("sage:"))) + help.err;
        const ProgramRun page =
            runProgram(QStringLiteral("gzip"),
                       {QStringLiteral("-dc"),
                        QStringLiteral(QUIREX_BUILD_DIR "/man/") + name + QStringLiteral(".1.gz")},
                       environment);
        ASSERT_EQ(page.exitCode, 0) << entry.program;
        const QString text = QString(page.out).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        int words = 0;
        for (auto it = optionWord.globalMatch(usage); it.hasNext(); ++words) {
            const QString word = it.next().captured(1);
            EXPECT_TRUE(text.contains(word)) << entry.program << " lacks " << qPrintable(word);
        }
        EXPECT_GE(words, 1) << entry.program << ": " << qPrintable(usage);
    }
}

// The Debian package, unpacked into a throw-away root folder with its maintainer scripts run
// against that root (DPKG_ROOT), so the machine itself is never changed.
TEST(Installation, PackageRegistersForEveryUserAndUnregistersOnRemoval)
{
    const QProcessEnvironment building = QProcessEnvironment::systemEnvironment();
    if (runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("--version")}, building).exitCode !=
        0)
        GTEST_SKIP() << "dpkg-deb is not available";
    const QString packages = scratchFolder() + QStringLiteral("/packages");
    const ProgramRun cpack = runProgram(QStringLiteral(QUIREX_CPACK_COMMAND),
                                        {QStringLiteral("-G"), QStringLiteral("DEB"),
                                         QStringLiteral("-B"), packages, QStringLiteral("--config"),
                                         QStringLiteral(QUIREX_BUILD_DIR "/CPackConfig.cmake")},
                                        building);
    ASSERT_EQ(cpack.exitCode, 0) << qPrintable(cpack.err) << qPrintable(cpack.out);
    const QStringList built = QDir(packages).entryList({QStringLiteral("quirex_*.deb")});
    ASSERT_EQ(built.size(), 1);
    const QString package = packages + QLatin1Char('/') + built.first();

    const ProgramRun control =
        runProgram(QStringLiteral("dpkg-deb"),
                   {QStringLiteral("-f"), package, QStringLiteral("Depends")}, building);
    for (const char *dependency :
         {"libqt5webkit5", "libqpdf", "fonts-liberation2", "poppler-utils"})
        EXPECT_TRUE(control.out.contains(QLatin1String(dependency))) << qPrintable(control.out);
    if (runProgram(QStringLiteral("lintian"), {QStringLiteral("--version")}, building).exitCode ==
        0) {
        const ProgramRun lint =
            runProgram(QStringLiteral("lintian"),
                       {QStringLiteral("--fail-on"), QStringLiteral("error"), package}, building);
        EXPECT_EQ(lint.exitCode, 0) << qPrintable(lint.out);
    }

    const QString root = scratchFolder() + QStringLiteral("/root");
    const QString scripts = scratchFolder() + QStringLiteral("/control");
    ASSERT_EQ(
        runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), package, root}, building)
            .exitCode,
        0);
    ASSERT_EQ(
        runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-e"), package, scripts}, building)
            .exitCode,
        0);
    QProcessEnvironment maintainer = building;
    maintainer.insert(QStringLiteral("DPKG_ROOT"), root);
    const ProgramRun configure = runProgram(scripts + QStringLiteral("/postinst"),
                                            {QStringLiteral("configure")}, maintainer);
    ASSERT_EQ(configure.exitCode, 0) << qPrintable(configure.err);
    const QString system = root + QStringLiteral("/etc/xdg/Ardenwyke/registry.ini");
    EXPECT_TRUE(readText(system).contains(root + QStringLiteral("/usr/lib/quirex/quirex.so")));

    // A new user converts with the package's program, and a client that has no installation
    // registry of its own (the build's script host) finds the engine through the system layer.
    const QString home = scratchFolder() + QStringLiteral("/newhome");
    QDir().mkpath(home);
    QProcessEnvironment user = newUser(home);
    user.insert(QStringLiteral("XDG_CONFIG_DIRS"), root + QStringLiteral("/etc/xdg"));
    const QString input =
        quirex::test::writeFile(QStringLiteral("packaged.html"),
                                "<html><body><p>Converted by the package</p></body></html>");
    const ProgramRun desk = runProgram(root + QStringLiteral("/usr/bin/quirexdesk"),
                                       {input, QStringLiteral("packaged.pdf")}, user);
    EXPECT_EQ(desk.exitCode, 0) << qPrintable(desk.err);
    EXPECT_TRUE(PdfProbe(scratchFolder() + QStringLiteral("/packaged.pdf"))
                    .text()
                    .contains(QStringLiteral("Converted by the package")));
    const QByteArray script = "create quirex.QUIREX\nget Resolution\nrelease\n";
    const QString client = QStringLiteral(QUIREX_BUILD_DIR "/bin/quirexscript");
    const ProgramRun registered = runProgram(client, {}, user, script);
    EXPECT_EQ(registered.exitCode, 0) << qPrintable(registered.err);

    // Removal and purge leave nothing registered and nothing in the root's /etc.
    for (const char *step : {"prerm", "postrm"}) {
        const ProgramRun removal = runProgram(
            scripts + QLatin1Char('/') + QLatin1String(step),
            {QLatin1String(std::strcmp(step, "prerm") == 0 ? "remove" : "purge")}, maintainer);
        EXPECT_EQ(removal.exitCode, 0) << step << qPrintable(removal.err);
    }
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(system).absolutePath()));
    EXPECT_NE(runProgram(client, {}, user, script).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/.config/Ardenwyke/registry.ini")));
}

} // namespace
