#pragma once

// Helpers shared by the tests that run the quirexdesk program.

#include <QByteArray>

namespace quirex::test
{

// A negative exit code as the shell shows it (-6 reads 250).
inline int shell(int code)
{
    return code & 0xFF;
}

// An HTML document of `pages` pages, each a paragraph "LABEL page N".
inline QByteArray pagesHtml(const QByteArray &label, int pages)
{
    QByteArray html = "<html><body>";
    for (int page = 1; page <= pages; ++page)
        html += "<div style='page-break-after:" + QByteArray(page < pages ? "always" : "auto") +
                "'><p>" + label + " page " + QByteArray::number(page) + "</p></div>";
    return html + "</body></html>";
}

} // namespace quirex::test
