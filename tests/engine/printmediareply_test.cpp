#include "printmediareply.h"

#include "policyreplies.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <gtest/gtest.h>

using quirex::engine::isStyleSheetRequest;
using quirex::engine::printMediaStyleSheet;

TEST(PrintMediaStyleSheet, RewritesOnlyTheMediaListsOfMediaAndImportRules)
{
    struct Case {
        const char *css;
        const char *expected;
    };
    const Case cases[] = {
        {"@media print { a { b: c } }", "@media all { a { b: c } }"},
        {"@MEDIA Screen AND (max-width: 600px){x{}}",
         "@MEDIA unprintedscreen AND (max-width: 600px){x{}}"},
        {"@media not print, only screen {x{}}", "@media not all, only unprintedscreen {x{}}"},
        // Addresses, strings, comments, selectors and other words stay.
        {"@import url(print.css) print;", "@import url(print.css) all;"},
        {"@import 'screen.css' screen, print;", "@import 'screen.css' unprintedscreen, all;"},
        {".print { content: '@media print' } /* @media screen */",
         ".print { content: '@media print' } /* @media screen */"},
        {"@media printer, screens, -screen {x{}}", "@media printer, screens, -screen {x{}}"},
        {"@mediaprint{}", "@mediaprint{}"},
        // A second pass changes nothing.
        {"@media all, unprintedscreen {x{}}", "@media all, unprintedscreen {x{}}"},
        // Cut-off input ends without reading past it.
        {"@media print", "@media all"},
        {"@import url(x.css", "@import url(x.css"},
        {"a { content: \"unterminated", "a { content: \"unterminated"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(printMediaStyleSheet(QByteArray(c.css)), QByteArray(c.expected)) << c.css;
}

TEST(PrintMediaStyleSheet, StyleSheetRequestsByAcceptHeaderOrName)
{
    QNetworkRequest sheet(QUrl(QStringLiteral("https://example.org/theme")));
    sheet.setRawHeader("Accept", "text/css,*/*;q=0.1");
    EXPECT_TRUE(isStyleSheetRequest(sheet));
    EXPECT_TRUE(isStyleSheetRequest(QNetworkRequest(QUrl(QStringLiteral("file:///a/B.CSS")))));
    QNetworkRequest image(QUrl(QStringLiteral("https://example.org/print.png")));
    image.setRawHeader("Accept", "image/png,*/*");
    EXPECT_FALSE(isStyleSheetRequest(image));
}

// A style sheet reply still alive when its manager goes (a redirected sheet
// the web engine never released): the manager deletes every reply below it,
// and the wrapped reply must be deleted once only.
TEST(PrintMediaReply, ManagerDestroyedWhileTheReplyLivesDeletesEachReplyOnce)
{
    auto *manager = new QNetworkAccessManager;
    const QNetworkRequest request(QUrl(QStringLiteral("file:///outside/print.css")));
    QNetworkReply *inner = quirex::engine::ImmediateReply::redirected(
        request, QNetworkAccessManager::GetOperation, QUrl(QStringLiteral("other://h/print.css")),
        manager);
    const QPointer<QNetworkReply> innerAlive(inner);
    const QPointer<QNetworkReply> wrapper(new quirex::engine::PrintMediaReply(inner, manager));
    EXPECT_EQ(wrapper->url(), request.url());
    delete manager;
    EXPECT_TRUE(innerAlive.isNull());
    EXPECT_TRUE(wrapper.isNull());
}
