#include "flowstyleprobe.h"
#include "testenvironment.h"
#include "webtestutil.h"

#include <QUrl>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

#include <gtest/gtest.h>

using namespace quirex::engine;

// The probe may answer "not declared" only where no rule sets the property:
// it must see declarations in every place a sheet can come from, and a
// value that keeps elements in the flow must not count.
TEST(FlowStyleProbe, SeesDeclarationsWhereverTheyAre)
{
    quirex::test::writeFile(QStringLiteral("flow.css"), "@import 'flowdeep.css'; p{color:red}");
    quirex::test::writeFile(QStringLiteral("flowdeep.css"), "div{float:left}");
    const QUrl base = QUrl::fromLocalFile(quirex::test::scratchFolder() + QStringLiteral("/"));
    struct Case {
        const char *html;
        bool display;
        bool outOfFlow;
        bool boxes;
        bool siblingRules;
    };
    const Case cases[] = {
        {"<p>Plain</p>", false, false, false, false},
        {"<p style='float:left;font-size:30px'>inline styles are not looked at</p>", false, false,
         false, false},
        {"<style>p{color:red;margin:1em;float:none;position:relative}</style><p>a</p>", false,
         false, false, false},
        {"<style>@media print{.x{display:none}}</style><p>a</p>", true, false, false, false},
        {"<style>p{position:ABSOLUTE}</style><p>a</p>", false, true, false, false},
        {"<style>p{position:sticky}</style><p>a</p>", false, false, false, false},
        {"<style>p{line-height:1.5}</style><p>a</p>", false, false, true, false},
        {"<style>li{padding:2px 0}</style><p>a</p>", false, false, true, false},
        {"<style>td{-webkit-padding-start:2px}</style><p>a</p>", false, false, true, false},
        {"<style>h1{border:1px solid}</style><p>a</p>", false, false, true, false},
        {"<style>body{font-family:serif}</style><p>a</p>", false, false, true, false},
        {"<link rel='stylesheet' href='flow.css'><div>a</div>", false, true, false, false},
        {"<style>p + p{color:red}</style><p>a</p>", false, false, false, true},
        {"<style>ul li:NTH-CHILD(2n){color:red}</style><p>a</p>", false, false, false, true},
        {"<style>p:empty{color:red}</style><p>a</p>", false, false, false, true},
        {"<style>p::first-line{color:red} @page :first{margin:1cm}</style><p>a</p>", false, false,
         false, false},
        {"<style>td{padding:5% 0}</style><p>a</p>", false, false, true, true},
    };
    for (const Case &c : cases) {
        QWebPage page;
        ASSERT_TRUE(quirex::test::loadHtml(page, QString::fromLatin1(c.html), base)) << c.html;
        const FlowDeclarations found = probeFlowDeclarations(page.mainFrame());
        EXPECT_EQ(found.display, c.display) << c.html;
        EXPECT_EQ(found.outOfFlow, c.outOfFlow) << c.html;
        EXPECT_EQ(found.boxes, c.boxes) << c.html;
        EXPECT_EQ(found.siblingRules, c.siblingRules) << c.html;
    }

    QWebPage withoutScripts;
    withoutScripts.settings()->setAttribute(QWebSettings::JavascriptEnabled, false);
    ASSERT_TRUE(quirex::test::loadHtml(withoutScripts, QStringLiteral("<p>a</p>")));
    const FlowDeclarations unknown = probeFlowDeclarations(withoutScripts.mainFrame());
    EXPECT_TRUE(unknown.display && unknown.outOfFlow && unknown.boxes && unknown.siblingRules)
        << "cannot tell: read";
}

// Every tag the table knows gets, in a document without style sheets, the
// display the table says, and is neither floated nor positioned: a wrong
// entry would move page ends.
TEST(FlowStyleProbe, DefaultDisplaysAreTheWebEnginesOwn)
{
    QWebPage page;
    ASSERT_TRUE(quirex::test::loadHtml(
        page, QStringLiteral(
                  "<address>a</address><article>a</article><aside>a</aside>"
                  "<blockquote>a</blockquote><center>a</center><dir><li>a</li></dir>"
                  "<div>a</div><dl><dt>a</dt><dd>a</dd></dl><figure><figcaption>a</figcaption>"
                  "</figure><footer>a</footer><form>a</form><h1>a</h1><h2>a</h2><h3>a</h3>"
                  "<h4>a</h4><h5>a</h5><h6>a</h6><header>a</header><hgroup>a</hgroup>"
                  "<main>a</main><menu><li>a</li></menu><nav>a</nav><ol><li>a</li></ol><p>a</p>"
                  "<pre>a</pre><section>a</section><ul><li>a</li></ul>"
                  "<table><caption>a</caption><thead><tr><th>a</th></tr></thead>"
                  "<tbody><tr><td>a</td></tr></tbody><tfoot><tr><td>a</td></tr></tfoot></table>"
                  "<span>a</span><noscript>a</noscript><details>a</details>")));
    int known = 0;
    for (const QWebElement &element : page.mainFrame()->findAllElements(QStringLiteral("*"))) {
        const DefaultDisplay expected = defaultDisplay(element.tagName());
        if (expected == DefaultDisplay::Unknown)
            continue;
        ++known;
        const QString display =
            element.styleProperty(QStringLiteral("display"), QWebElement::ComputedStyle);
        const bool flow =
            display == QLatin1String("block") || display == QLatin1String("list-item");
        const bool tablePart = display.startsWith(QLatin1String("table"));
        EXPECT_TRUE(expected == DefaultDisplay::Flow ? flow : tablePart)
            << element.tagName().toStdString() << ": " << display.toStdString();
        EXPECT_EQ(element.styleProperty(QStringLiteral("float"), QWebElement::ComputedStyle),
                  QStringLiteral("none"))
            << element.tagName().toStdString();
        EXPECT_EQ(element.styleProperty(QStringLiteral("position"), QWebElement::ComputedStyle),
                  QStringLiteral("static"))
            << element.tagName().toStdString();
    }
    EXPECT_EQ(known, 46) << "every element of a known tag but HTML";
    EXPECT_EQ(defaultDisplay(QStringLiteral("SPAN")), DefaultDisplay::Unknown);
    EXPECT_EQ(defaultDisplay(QStringLiteral("p")), DefaultDisplay::Unknown) << "XHTML: read";
}
