// Shows each window of window mode in English and in Russian, writes a
// picture of each to the folder given as the argument, and lists on stdout
// every caption that does not fit its control. Exit code 0 when all fit.
// Run under a real X server (xvfb-run), so the pictures are what X shows.
#include "advsettingsdlg.h"
#include "converter.h"
#include "maindlg.h"
#include "progressdlg.h"
#include "settingsstore.h"
#include "stringids.h"
#include "uitestutil.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdio>

using namespace quirex::app;
using namespace quirex::app::ui;

namespace
{

int g_cut = 0;

void capture(QWidget &window, const QString &folder, const QString &name)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("%s: never shown\n", qPrintable(name));
    QTest::qWait(300);
    QPixmap picture = window.screen()->grabWindow(window.winId());
    if (picture.isNull() || picture.size() != window.size())
        picture = window.grab();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!picture.save(path))
        std::printf("cannot write %s\n", qPrintable(path));
    for (const QString &cut : quirex::test::cutOffCaptions(&window)) {
        std::printf("%s: %s\n", qPrintable(name), cut.toUtf8().constData());
        ++g_cut;
    }
    window.hide();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    CConverter converter;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    for (const auto &[language, suffix] :
         {std::pair{LanguageEnglish, "en"}, std::pair{LanguageRussian, "ru"}}) {
        const QString tag = QLatin1String(suffix);
        {
            CMainDlg window(converter, store, language);
            window.setOutputFolder(QStringLiteral("/home/user/Documents/PDF"));
            window.addFiles({QStringLiteral("/home/user/Documents/report.html"),
                             QStringLiteral("/home/user/Documents/notes.txt"),
                             QStringLiteral("/home/user/Documents/site/index.htm")});
            capture(window, folder, QStringLiteral("main-") + tag);
        }
        {
            CAdvSettingsDlg dialog(ConversionSettings(), nullptr, language);
            capture(dialog, folder, QStringLiteral("settings-") + tag);
        }
        {
            CProgressDlg progress(nullptr, language);
            progress.setRangeMaximum(15);
            progress.step(7);
            progress.setUpperText(loadText(strings::ConvertingFile, language) +
                                  QStringLiteral("report.html..."));
            capture(progress, folder, QStringLiteral("progress-") + tag);
        }
    }
    return g_cut == 0 ? 0 : 1;
}
