#pragma once

#include <QString>

namespace quirex::app
{

// One band of text drawn on every page, above the content (header) or below
// it (footer): three texts aligned left, centred and right inside the page's
// left and right margins.
struct PageBand {
    QString left, center, right; // texts with placeholders; empty = nothing drawn
    QString fontName = QStringLiteral("Arial");
    double fontSize = 12; // points
    double spacingMm = 0; // gap between the band and the page content
    bool line = false;    // a thin rule between band and content
    // True when none of the three texts would draw anything (the rule alone
    // is not drawn either).
    bool isEmpty() const;

    bool operator==(const PageBand &other) const;
    bool operator!=(const PageBand &other) const { return !(*this == other); }
};

// How the band texts spell their placeholders.
enum class PlaceholderSyntax {
    Brackets, // [page] [topage] [frompage] [date] [time] [title] [webpage] ...
    Percent,  // the page-number pattern's: %c current page, %t total
};

// The header and footer of every page of a PDF. A plain value: copied,
// compared and serialised with the rest of a conversion's settings.
struct PageDecorations {
    PageBand header, footer;
    PlaceholderSyntax syntax = PlaceholderSyntax::Brackets;
    // True when neither band draws anything.
    bool isEmpty() const;

    bool operator==(const PageDecorations &other) const;
    bool operator!=(const PageDecorations &other) const { return !(*this == other); }
};

// What the placeholders of one page stand for. `page` is the number of the
// page in the PDF, `toPage` the PDF's final page count, `fromPage` the number
// of its first page; `sitePage` and `sitePages` the page's number within the
// current input and that input's page count. `date` and `time` are in the
// local format, `title` is the document's title, `webpage` the input's URL
// or path.
struct PageFacts {
    int page = 1, toPage = 1, fromPage = 1;
    QString date, time, title, webpage;
    int sitePage = 1, sitePages = 1;
};

// `text` with its placeholders replaced by `facts`, in one pass from left to
// right, so that a value that itself looks like a placeholder (a title
// "[page]") stays as it is. Brackets: [page] [topage] [frompage] [date]
// [time] [title] [webpage] [sitepage] [sitepages]; [section] and
// [subsection] become empty text. Percent: "%c" the current page, "%t" the
// total, as the page-number pattern reads them. Anything else, an unknown
// bracket word or a lone "%", stays as written.
QString expandPlaceholders(const QString &text, const PageFacts &facts, PlaceholderSyntax syntax);

} // namespace quirex::app
