#include "breakstyleprobe.h"
#include "documentscan.h"
#include "pointlist.h"
#include "testenvironment.h"
#include "webtestutil.h"

#include <QUrl>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

#include <gtest/gtest.h>

using namespace quirex::engine;

// The probe may only answer "no break declared" where the page-break scan
// itself finds nothing; it must see declarations in every place a cascaded
// value can come from.
TEST(BreakStyleProbe, AnswersNoOnlyWhereTheScanFindsNothing)
{
    quirex::test::writeFile(QStringLiteral("base.css"), "@import 'deep.css'; p{color:red}");
    quirex::test::writeFile(QStringLiteral("deep.css"), "h1{page-break-after:always}");
    const QUrl base = QUrl::fromLocalFile(quirex::test::scratchFolder() + QStringLiteral("/"));
    struct Case {
        const char *html;
        bool mayDeclare;
    };
    const Case cases[] = {
        {"<h1>Plain</h1><p style='color:red'>x</p>", false},
        {"<style>pre{word-break:break-all}</style><pre>a</pre><p title='page-break-before'>b</p>",
         false},
        {"<style>h1{page-break-before:always}</style><h1>a</h1><h1>b</h1>", true},
        {"<style>@media screen{h1{break-before:page}}</style><h1>a</h1>", true},
        {"<p>a</p><div style='PAGE-BREAK-INSIDE: avoid'>b</div>", true},
        {"<style>div{break-inside:avoid-page}</style><div>a</div>", true},
        {"<style>p{page-break-after:auto}</style><p>a</p>", true},
        {"<link rel='stylesheet' href='base.css'><h1>a</h1><p>b</p>", true},
    };
    for (const Case &c : cases) {
        QWebPage page;
        ASSERT_TRUE(quirex::test::loadHtml(page, QString::fromLatin1(c.html), base)) << c.html;
        EXPECT_EQ(documentMayDeclareBreaks(page.mainFrame()), c.mayDeclare) << c.html;
        PointList breaks, avoided;
        findCssPageBreaks(page.mainFrame()->documentElement(), breaks, avoided);
        if (!c.mayDeclare) {
            EXPECT_TRUE(breaks.isEmpty() && avoided.isEmpty()) << c.html;
        }
    }

    QWebPage withoutScripts;
    withoutScripts.settings()->setAttribute(QWebSettings::JavascriptEnabled, false);
    ASSERT_TRUE(quirex::test::loadHtml(withoutScripts, QStringLiteral("<p>a</p>")));
    EXPECT_TRUE(documentMayDeclareBreaks(withoutScripts.mainFrame())) << "cannot tell: scan";
}
