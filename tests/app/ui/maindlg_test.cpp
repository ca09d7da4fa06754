// The main window driven through its controls, converting with the real
// engine and PDF document components registered into the test's registry.
#include "maindlg.h"

#include "advsettingsdlg.h"
#include "conversionrunner.h"
#include "converter.h"
#include "desktestpages.h"
#include "filelistview.h"
#include "mybutton.h"
#include "mycombobox.h"
#include "pdfprobe.h"
#include "progressdlg.h"
#include "settingsstore.h"
#include "stringids.h"
#include "testenvironment.h"
#include "toolrunner.h"
#include "uitestutil.h"
#include "updowncontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace quirex::app;
using namespace quirex::app::ui;
using quirex::test::BoxRecorder;
using quirex::test::control;
using quirex::test::writeFile;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

QByteArray page(const char *title, int paragraphs = 3)
{
    QByteArray html = QByteArray("<html><body><h1>") + title + "</h1>";
    for (int i = 0; i < paragraphs; ++i)
        html += "<p>Paragraph " + QByteArray::number(i) + " of " + title +
                ", long enough to fill part of a line of the page.</p>";
    return html + "</body></html>";
}

QString readSettings(const SettingsStore &store)
{
    QFile file(store.path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class MainWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        input = quirex::test::makeFolder(QStringLiteral("in"));
        output = quirex::test::makeFolder(QStringLiteral("out"));
        store = std::make_unique<SettingsStore>(QStringLiteral("settings.ini"),
                                                QStringLiteral("Quirex Desk"));
    }
    void TearDown() override
    {
        window.reset();
        // No window may outlive its test.
        for (QWidget *widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }

    CMainDlg &open(int language = LanguageEnglish)
    {
        window = std::make_unique<CMainDlg>(converter, *store, language);
        window->setHelpFilePath(kBin + QStringLiteral("/help/index.html"));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        return writeFile(QStringLiteral("in/") + name, bytes);
    }
    QTreeWidget *inputs() const { return control<QTreeWidget>(window.get(), "1000"); }
    QTreeWidget *outputs() const { return control<QTreeWidget>(window.get(), "1006"); }
    QPushButton *button(const char *id) const { return control<QPushButton>(window.get(), id); }
    void click(const char *id) { QTest::mouseClick(button(id), Qt::LeftButton); }
    void selectRows(std::initializer_list<int> rows)
    {
        inputs()->clearSelection();
        for (int row : rows)
            inputs()->topLevelItem(row)->setSelected(true);
    }
    QStringList names(const QStringList &paths) const
    {
        QStringList result;
        for (const QString &path : paths)
            result << path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        return result;
    }
    // Runs `during` once, inside the run's event pumping, when `when` holds.
    void duringRun(std::function<bool()> when, std::function<void()> during)
    {
        auto *timer = new QTimer;
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [timer, when, during] {
            if (!when())
                return;
            timer->stop();
            timer->deleteLater();
            during();
        });
        timer->start();
    }

    QString input;
    QString output;
    CConverter converter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<CMainDlg> window;
    BoxRecorder boxes;
};

TEST_F(MainWindow, CaptionsTooltipsAndStartUpInEitherLanguage)
{
    for (int language : {LanguageEnglish, LanguageRussian}) {
        CMainDlg &w = open(language);
        const auto text = [language](int id) { return loadText(id, language); };
        EXPECT_EQ(w.windowTitle(),
                  text(strings::ProductName) + QStringLiteral(" " QUIREXDESK_VERSION));
        EXPECT_FALSE(w.windowIcon().isNull());
        const struct {
            const char *id;
            int caption;
            int tip;
        } buttons[] = {{"1001", strings::AddFile, strings::AddFilesTip},
                       {"1002", strings::AddFolder, strings::AddFolderTip},
                       {"1003", strings::Remove, strings::RemoveTip},
                       {"1004", strings::MoveUp, strings::MoveUpTip},
                       {"1005", strings::MoveDown, strings::MoveDownTip},
                       {"1013", strings::Browse, strings::BrowseTip},
                       {"1007", strings::PdfSettingsButton, strings::SettingsTip},
                       {"1008", strings::ConvertButton, strings::ConvertTip}};
        for (const auto &b : buttons) {
            EXPECT_EQ(button(b.id)->text(), text(b.caption)) << b.id;
            EXPECT_EQ(button(b.id)->toolTip(), text(b.tip)) << b.id;
        }
        EXPECT_EQ(control<QCheckBox>(&w, "3032")->text(), text(strings::AllToOne));
        EXPECT_EQ(control<QCheckBox>(&w, "3032")->toolTip(), text(strings::AllToOneTip));
        EXPECT_EQ(control<QLabel>(&w, "1046")->text(), text(strings::HelpHint));
        EXPECT_FALSE(control<QLabel>(&w, "1046")->isEnabled());
        EXPECT_EQ(control<QLabel>(&w, "1010")->text(), text(strings::FilesToConvert));
        EXPECT_EQ(control<QLabel>(&w, "1011")->text(), text(strings::OutputFolderLabel));
        EXPECT_EQ(control<QLabel>(&w, "1009")->text(), text(strings::ConvertedFiles));
        EXPECT_EQ(inputs()->headerItem()->text(0), text(strings::FileNameColumn));
        EXPECT_EQ(inputs()->toolTip(), text(strings::InputListTip));
        EXPECT_EQ(outputs()->toolTip(), text(strings::OutputListTip));
        EXPECT_EQ(quirex::test::cutOffCaptions(&w), QStringList()) << language;

        // No settings file yet: the Documents folder, buttons off but for
        // the three that need no selection.
        EXPECT_EQ(control<QLineEdit>(&w, "1012")->text(), w.outputFolder());
        EXPECT_TRUE(QFileInfo(w.outputFolder()).isDir());
        for (const char *id : {"1003", "1004", "1005", "1008"})
            EXPECT_FALSE(button(id)->isEnabled()) << id;
        for (const char *id : {"1001", "1002", "1013", "1007"})
            EXPECT_TRUE(button(id)->isEnabled()) << id;
        window->close();
    }

    // Resizing: the buttons on the right follow the right edge, the output
    // list grows both ways, the input list only wider; never below start-up.
    CMainDlg &w = open();
    const QSize start = w.size();
    EXPECT_EQ(w.minimumSize(), start);
    const QRect inputsAt = inputs()->geometry();
    const QRect outputsAt = outputs()->geometry();
    const QRect addAt = button("1001")->geometry();
    const QRect convertAt = button("1008")->geometry();
    w.resize(start + QSize(100, 60));
    QApplication::processEvents();
    EXPECT_EQ(button("1001")->geometry(), addAt.translated(100, 0));
    EXPECT_EQ(button("1008")->geometry(), convertAt.translated(100, 60));
    EXPECT_EQ(inputs()->geometry(), inputsAt.adjusted(0, 0, 100, 0));
    EXPECT_EQ(outputs()->geometry(), outputsAt.adjusted(0, 0, 100, 60));
    w.close();
}

TEST_F(MainWindow, AddsFilesAndFoldersOnceEachAndEscapeSavesTheWindowState)
{
    const QString a = file(QStringLiteral("a.htm"), page("a"));
    const QString aa = file(QStringLiteral("a.html"), page("aa"));
    const QString notes = file(QStringLiteral("notes.txt"), "plain");
    const QString deep = file(QStringLiteral("sub/b.htm"), page("b"));
    file(QStringLiteral("image.png"), "png");
    store->WriteString(QStringLiteral("Main"), QStringLiteral("LastOpenFolder"), input);
    CMainDlg &w = open();

    // The add-files dialog starts in the last input folder with its three
    // filters; a file chosen twice is listed once.
    for (int round = 0; round < 2; ++round) {
        quirex::test::answerNextModal([this](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->windowTitle(),
                      loadText(strings::SelectFilesToConvert, LanguageEnglish));
            EXPECT_EQ(QDir(dialog->directory()).absolutePath(), input);
            EXPECT_EQ(dialog->nameFilters().size(), 3);
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("\"a.htm\" \"notes.txt\""));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        click("1001");
    }
    EXPECT_EQ(w.inputPaths(), QStringList({a, notes}));
    EXPECT_TRUE(button("1008")->isEnabled());

    // The folder dialog with "Include subfolders" checked: a.htm is there
    // already, the rest is added mask by mask.
    quirex::test::answerNextModal([this](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_TRUE(dialog);
        auto *sub = dialog->findChild<QCheckBox *>(QStringLiteral("7127"));
        ASSERT_TRUE(sub);
        EXPECT_EQ(sub->text(), loadText(strings::IncludeSubfolders, LanguageEnglish));
        EXPECT_FALSE(sub->isChecked());
        sub->setChecked(true);
        dialog->setDirectory(input);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    click("1002");
    EXPECT_EQ(w.inputPaths(), QStringList({a, notes, deep, aa}));
    EXPECT_EQ(w.lastInputFolder(), input);

    // A file manager drops a folder (scanned without sub-folders), a
    // supported file and an image (ignored).
    const QString other = quirex::test::makeFolder(QStringLiteral("other"));
    const QString c = writeFile(QStringLiteral("other/c.shtml"), page("c"));
    writeFile(QStringLiteral("other/deeper/d.htm"), page("d"));
    const QString e = writeFile(QStringLiteral("loose/e.TXT"), "text");
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(e),
                   QUrl::fromLocalFile(input + QStringLiteral("/image.png"))});
    quirex::test::dropOn(inputs()->viewport(), QPoint(10, 10), data, Qt::CopyAction);
    delete data;
    EXPECT_EQ(w.inputPaths(), QStringList({a, notes, deep, aa, c, e}));

    // The item limit: warning 2022 once, nothing beyond it.
    w.setInputLimit(7);
    writeFile(QStringLiteral("more/x.htm"), "x");
    writeFile(QStringLiteral("more/y.htm"), "y");
    w.addFolder(quirex::test::scratchFolder() + QStringLiteral("/more"), false);
    EXPECT_EQ(w.inputPaths().size(), 7);
    ASSERT_EQ(boxes.lines.size(), 1);
    EXPECT_TRUE(boxes.lines[0].startsWith(loadText(strings::WarningTitle)));

    // Escape closes the window and stores the three window values.
    QCheckBox *allToOne = control<QCheckBox>(&w, "3032");
    allToOne->setChecked(true);
    w.setOutputFolder(output);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    SettingsStore reread(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    QString saveFolder, lastFolder;
    bool makeOne = false;
    reread.ReadString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), saveFolder);
    reread.ReadString(QStringLiteral("Main"), QStringLiteral("LastOpenFolder"), lastFolder);
    reread.ReadBool(QStringLiteral("Main"), QStringLiteral("MakeOne"), makeOne);
    EXPECT_EQ(saveFolder, output);
    EXPECT_EQ(lastFolder, quirex::test::scratchFolder() + QStringLiteral("/more"));
    EXPECT_TRUE(makeOne);
}

TEST_F(MainWindow, RemoveAndBlockMovesByButtonsKeysAndDragging)
{
    QStringList paths;
    for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"})
        paths << file(QString::fromLatin1(name), page(name));
    CMainDlg &w = open();
    w.addFiles(paths);
    const auto order = [&] { return names(w.inputPaths()).join(QLatin1Char(',')); };

    // The first item selected: Move Up is off and an up move moves nothing.
    selectRows({0, 2});
    EXPECT_FALSE(button("1004")->isEnabled());
    EXPECT_TRUE(button("1005")->isEnabled());
    w.moveSelected(-1);
    EXPECT_EQ(order(), QStringLiteral("a.htm,b.htm,c.htm,d.htm,e.htm"));

    // Two separate items move down together and stay selected.
    click("1005");
    EXPECT_EQ(order(), QStringLiteral("b.htm,a.htm,d.htm,c.htm,e.htm"));
    EXPECT_TRUE(inputs()->topLevelItem(1)->isSelected());
    EXPECT_TRUE(inputs()->topLevelItem(3)->isSelected());
    EXPECT_EQ(inputs()->selectedItems().size(), 2);
    EXPECT_TRUE(inputs()->hasFocus());
    click("1004");
    EXPECT_EQ(order(), QStringLiteral("a.htm,b.htm,c.htm,d.htm,e.htm"));

    // Dragging the item at row 1 onto row 3 moves the selection by two;
    // a drop on empty space below the last item moves nothing.
    auto dropRow = [&](int source, QPoint at) {
        auto *list = control<FileListView>(window.get(), "1000");
        std::unique_ptr<QMimeData> data(list->rowDragData(source));
        quirex::test::dropOn(list->viewport(), at, data.get(), Qt::MoveAction);
    };
    selectRows({1});
    dropRow(1, inputs()->visualItemRect(inputs()->topLevelItem(3)).center());
    EXPECT_EQ(order(), QStringLiteral("a.htm,c.htm,d.htm,b.htm,e.htm"));
    EXPECT_TRUE(inputs()->topLevelItem(3)->isSelected());
    dropRow(3, QPoint(10, inputs()->viewport()->height() - 3));
    EXPECT_EQ(order(), QStringLiteral("a.htm,c.htm,d.htm,b.htm,e.htm"));

    // Remove by button and by the Delete key.
    selectRows({0, 4});
    click("1003");
    EXPECT_EQ(order(), QStringLiteral("c.htm,d.htm,b.htm"));
    EXPECT_FALSE(button("1003")->isEnabled());
    selectRows({1});
    QTest::keyClick(inputs(), Qt::Key_Delete);
    EXPECT_EQ(order(), QStringLiteral("c.htm,b.htm"));
    // A removed file can be added again.
    w.addFiles({paths[3]});
    EXPECT_EQ(order(), QStringLiteral("c.htm,b.htm,d.htm"));
    w.close();
}

TEST_F(MainWindow, PdfSettingsOkWritesTheSettingsFileAndCancelDoesNot)
{
    CMainDlg &w = open();
    quirex::test::answerNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<CAdvSettingsDlg *>(modal);
        ASSERT_TRUE(dialog);
        control<CMyComboBox>(dialog, "1108")->setCurrentIndex(28);
        control<CMyComboBox>(dialog, "1109")->setCurrentIndex(1);
        control<CMyComboBox>(dialog, "1110")->setCurrentIndex(122);
        const std::pair<const char *, const char *> numbers[] = {
            {"1128", "10"}, {"1130", "20"}, {"1132", "30"}, {"1134", "40"}, {"1136", "150"}};
        for (const auto &[id, value] : numbers)
            control<QLineEdit>(dialog, id)->setText(QString::fromLatin1(value));
        control<UpDownControl>(dialog, "1129")->stepBy(+1);
        control<QCheckBox>(dialog, "1100")->setChecked(true);
        control<QLineEdit>(dialog, "1012")->setText(QStringLiteral("http://example.org/"));
        for (const char *id : {"1040", "1033", "1043"})
            control<QCheckBox>(dialog, id)->setChecked(true);
        QTest::mouseClick(control<CMyButton>(dialog, "1"), Qt::LeftButton);
    });
    click("1007");
    const ConversionSettings &live = converter.settings();
    EXPECT_EQ(live.PaperSize, 28);
    EXPECT_EQ(live.Orientation, 1);
    EXPECT_EQ(live.Encoding, 122);
    EXPECT_EQ(live.MarginLeft, 11);
    EXPECT_EQ(live.MarginRight, 20);
    EXPECT_EQ(live.MarginTop, 30);
    EXPECT_EQ(live.MarginBottom, 40);
    EXPECT_EQ(live.Zoom, 150);
    EXPECT_EQ(live.BaseURL, QStringLiteral("http://example.org/"));
    EXPECT_TRUE(live.PreserveLinks && live.PageNumbers && live.PostEntireImages &&
                live.PostEntireTables);
    const QString saved = readSettings(*store);
    for (const char *line : {"MarginLeft=11", "MarginRight=20", "MarginTop=30", "MarginBottom=40",
                             "Zoom=150", "PaperSize=28", "Orientation=1", "Encoding=122",
                             "PageNumbers=true", "PostEntireImages=true", "PostEntireTables=true",
                             "PreserveLinks=true", "IsSimpleMode=false"})
        EXPECT_TRUE(saved.contains(QLatin1String(line))) << line << "\n" << saved.toStdString();

    quirex::test::answerNextModal([](QWidget *modal) {
        control<QLineEdit>(modal, "1128")->setText(QStringLiteral("99"));
        QTest::mouseClick(control<QPushButton>(modal, "2"), Qt::LeftButton);
    });
    click("1007");
    EXPECT_EQ(converter.settings().MarginLeft, 11);
    EXPECT_EQ(readSettings(*store), saved);
    w.close();
}

TEST_F(MainWindow, ConvertsEachInputToItsPdfOrAllIntoOne)
{
    QStringList paths;
    for (const char *name : {"one.html", "two.htm", "three.txt"})
        paths << file(QString::fromLatin1(name), page(name));
    CMainDlg &w = open();
    w.addFiles(paths);
    w.setOutputFolder(output + QLatin1Char('/')); // one trailing separator is dropped

    // Inside the run: the range is 5 per input, the lists and buttons are
    // off, and a second Convert or a hand-off waits for the end.
    int rangeSeen = 0;
    bool listsOff = false;
    bool secondRefused = false;
    QStringList order;
    duringRun([&] { return w.progressDialog() != nullptr; },
              [&] {
                  rangeSeen = w.progressDialog()->rangeMaximum();
                  listsOff = !inputs()->isEnabled() && !outputs()->isEnabled() &&
                             !button("1008")->isEnabled() && !button("1007")->isEnabled();
                  CProgressDlg *running = w.progressDialog();
                  QTest::keyClick(&w, Qt::Key_Escape); // no meaning during a run
                  w.onConvert();
                  secondRefused = w.progressDialog() == running && w.isRunning();
                  w.runWhenIdle([&] { order << QStringLiteral("hand-off"); });
              });
    click("1008");
    order << QStringLiteral("after run");
    EXPECT_EQ(rangeSeen, 15);
    EXPECT_TRUE(listsOff);
    EXPECT_TRUE(secondRefused);
    EXPECT_EQ(order, QStringList({QStringLiteral("hand-off"), QStringLiteral("after run")}));
    EXPECT_TRUE(w.isVisible());

    const QStringList expected{output + QStringLiteral("/one.html.pdf"),
                               output + QStringLiteral("/two.htm.pdf"),
                               output + QStringLiteral("/three.txt.pdf")};
    EXPECT_EQ(w.outputPaths(), expected);
    int pages = 0;
    for (const QString &pdf : expected) {
        quirex::test::PdfProbe probe(pdf);
        ASSERT_TRUE(probe.isValid()) << pdf.toStdString();
        pages += probe.pageCount();
    }
    EXPECT_TRUE(inputs()->isEnabled() && outputs()->isEnabled() && button("1008")->isEnabled());
    EXPECT_EQ(w.focusWidget(), button("1008"));
    EXPECT_EQ(w.progressDialog(), nullptr);
    EXPECT_EQ(w.inputPaths(), paths); // a run leaves the inputs alone
    EXPECT_TRUE(boxes.lines.isEmpty()) << boxes.lines.join('\n').toStdString();

    // All to one: one entry, named after the first input, holding them all.
    for (const QString &pdf : expected)
        QFile::remove(pdf);
    control<QCheckBox>(&w, "3032")->setChecked(true);
    click("1008");
    EXPECT_EQ(w.outputPaths(), QStringList{expected[0]});
    quirex::test::PdfProbe joined(expected[0]);
    ASSERT_TRUE(joined.isValid());
    EXPECT_EQ(joined.pageCount(), pages);
    EXPECT_FALSE(QFile::exists(expected[1]));
    EXPECT_TRUE(converter.allToOne());

    // Opening from the output list: Enter on the selected PDF, a double click
    // on empty space opens the output folder.
    quirex::test::OpenRecorder opener;
    outputs()->setCurrentItem(outputs()->topLevelItem(0));
    QTest::keyClick(outputs(), Qt::Key_Return);
    QTest::mouseDClick(outputs()->viewport(), Qt::LeftButton, {},
                       QPoint(10, outputs()->viewport()->height() - 3));
    EXPECT_EQ(opener.opened(2), QStringList({expected[0], output + QLatin1Char('/')}));
    w.close();
}

// Two inputs of one name would write one PDF: the run is refused before anything is written,
// as the command line refuses it; all to one joins them.
TEST_F(MainWindow, TwoInputsOfOneNameAreRefusedUnlessJoined)
{
    const QStringList paths{file(QStringLiteral("x/same.html"), page("From x")),
                            file(QStringLiteral("y/same.html"), page("From y"))};
    const QString pdf = output + QStringLiteral("/same.html.pdf");
    CMainDlg &w = open();
    w.addFiles(paths);
    w.setOutputFolder(output);
    click("1008");
    ASSERT_EQ(boxes.lines.size(), 1);
    EXPECT_TRUE(boxes.lines[0].contains(paths[0]) && boxes.lines[0].contains(paths[1]))
        << boxes.lines[0].toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(w.outputPaths().isEmpty());
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(button("1008")->isEnabled());

    boxes.lines.clear();
    control<QCheckBox>(&w, "3032")->setChecked(true);
    click("1008");
    EXPECT_TRUE(boxes.lines.isEmpty()) << boxes.lines.join('\n').toStdString();
    const QString text = quirex::test::PdfProbe(pdf).text();
    EXPECT_TRUE(text.contains(QStringLiteral("From x")) && text.contains(QStringLiteral("From y")));
    w.close();
}

TEST_F(MainWindow, CancelStopsTheRunAndAMissingFolderIsReportedPerInput)
{
    const QStringList paths{file(QStringLiteral("first.html"), page("first")),
                            file(QStringLiteral("second.html"), page("second", 400)),
                            file(QStringLiteral("third.html"), page("third"))};
    CMainDlg &w = open();
    w.addFiles(paths);

    // A missing output folder: error 2028 once per input, nothing converted.
    const QString missing = output + QStringLiteral("/missing");
    w.setOutputFolder(missing);
    click("1008");
    ASSERT_EQ(boxes.lines.size(), 3);
    for (const QString &line : boxes.lines)
        EXPECT_TRUE(line.contains(missing)) << line.toStdString();
    EXPECT_TRUE(w.outputPaths().isEmpty());
    boxes.lines.clear();

    // Cancel pressed while the second input converts: the first PDF stays,
    // the second's partial PDF is removed, the third is never tried.
    w.setOutputFolder(output);
    duringRun([&] { return w.progressDialog() && w.progressDialog()->value() >= 6; },
              [&] {
                  QTest::mouseClick(control<QPushButton>(w.progressDialog(), "2"), Qt::LeftButton);
                  EXPECT_TRUE(w.progressDialog()->isVisible());
              });
    click("1008");
    EXPECT_EQ(w.outputPaths(), QStringList{output + QStringLiteral("/first.html.pdf")});
    EXPECT_EQ(QDir(output).entryList(QDir::Files), QStringList{QStringLiteral("first.html.pdf")});
    EXPECT_TRUE(inputs()->isEnabled() && button("1008")->isEnabled());
    EXPECT_TRUE(boxes.lines.isEmpty()) << boxes.lines.join('\n').toStdString();

    // Closing the window during a run cancels the run, then closes.
    QFile::remove(output + QStringLiteral("/first.html.pdf"));
    bool closedAtOnce = true;
    duringRun([&] { return w.progressDialog() && w.progressDialog()->value() >= 1; },
              [&] { closedAtOnce = w.close(); });
    click("1008");
    EXPECT_FALSE(closedAtOnce);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(QDir(output).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(readSettings(*store).contains(QStringLiteral("SaveFolder=") + output));
}

TEST_F(MainWindow, WorkersThatCrashOrHangFailTheirInputsAndTheWindowStays)
{
    RunnerOptions options;
    options.workerProgram = kBin + QStringLiteral("/quirexdesk");
    options.workers = 2;
    options.timeoutSeconds = 3;
    options.keepGoing = true;
    quirex::test::letScriptsRunWithoutLimit();
    ConversionRunner runner(options);
    setBatchRunner(&runner);
    const QStringList paths{file(QStringLiteral("a.html"), page("a")),
                            file(QStringLiteral("slow.html"), quirex::test::slowHtml("slow")),
                            file(QStringLiteral("b.html"), page("b")),
                            file(QStringLiteral("endless.html"), quirex::test::endlessHtml()),
                            file(QStringLiteral("c.html"), page("c"))};
    CMainDlg &w = open();
    w.addFiles(paths);
    w.setOutputFolder(output);
    // The second worker converts the slow page while the first PDF appears.
    qint64 crashed = 0;
    duringRun([&] { return QFile::exists(output + QStringLiteral("/a.html.pdf")); },
              [&] {
                  const QVector<qint64> workers = quirex::test::childProcesses(::getpid());
                  ASSERT_EQ(workers.size(), 2);
                  crashed = workers.constLast();
                  ::kill(pid_t(crashed), SIGSEGV);
              });
    click("1008");
    setBatchRunner(nullptr);
    EXPECT_NE(crashed, 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(button("1008")->isEnabled());
    EXPECT_EQ(w.outputPaths(), (QStringList{output + QStringLiteral("/a.html.pdf"),
                                            output + QStringLiteral("/b.html.pdf"),
                                            output + QStringLiteral("/c.html.pdf")}));
    for (const QString &pdf : w.outputPaths())
        EXPECT_EQ(quirex::test::PdfProbe(pdf).pageCount(), 1) << pdf.toStdString();
    ASSERT_EQ(boxes.lines.size(), 2) << boxes.lines.join('\n').toStdString();
    EXPECT_TRUE(boxes.lines[0].contains(paths[1]) && boxes.lines[0].contains(QStringLiteral("-33")))
        << boxes.lines[0].toStdString();
    EXPECT_TRUE(boxes.lines[1].contains(paths[3]) && boxes.lines[1].contains(QStringLiteral("-34")))
        << boxes.lines[1].toStdString();
    EXPECT_TRUE(quirex::test::hiddenFiles(output).isEmpty());
    for (const qint64 pid : runner.workerProcessIds())
        EXPECT_NE(pid, crashed);
    w.close();
}

TEST_F(MainWindow, OpensInputsAndHelpThroughTheDesktop)
{
    const QString a = file(QStringLiteral("a.html"), page("a"));
    CMainDlg &w = open();
    w.addFiles({a});
    quirex::test::OpenRecorder opener;
    QTest::mouseDClick(inputs()->viewport(), Qt::LeftButton, {},
                       inputs()->visualItemRect(inputs()->topLevelItem(0)).center());
    QTest::keyClick(&w, Qt::Key_F1);
    const QStringList opened = opener.opened(2);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], a);
    EXPECT_TRUE(opened[1].endsWith(QStringLiteral("/help/index.html"))) << opened[1].toStdString();

    // An opener that fails: error 2035 with the path.
    const QString failing = writeFile(QStringLiteral("fail.sh"), "#!/bin/sh\nexit 3\n");
    QFile::setPermissions(failing, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(failing));
    QTest::mouseDClick(inputs()->viewport(), Qt::LeftButton, {},
                       inputs()->visualItemRect(inputs()->topLevelItem(0)).center());
    ASSERT_EQ(boxes.lines.size(), 1);
    EXPECT_TRUE(boxes.lines[0].contains(a));
    w.close();
}

} // namespace
