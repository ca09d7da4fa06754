#pragma once

#include <QString>
#include <QUrl>

namespace quirex::engine
{

// QtWebKit does not follow fontconfig's metric aliases: a document asking for
// "Arial" falls back to the standard font. These helpers make the web engine
// use the metric-compatible Liberation families (fonts-liberation2) instead.

// The CSS that maps the common Windows and PostScript family names to the
// Liberation families with @font-face rules and local() sources.
QString fontSubstitutionStyleSheet();

// fontSubstitutionStyleSheet() as a base64 "data:text/css" URL, the form
// QWebSettings::setUserStyleSheetUrl() accepts.
QUrl fontSubstitutionStyleSheetUrl();

// Installs the style sheet as the global user style sheet and sets the global
// standard, serif, sans-serif and fixed font families to Liberation Serif,
// Liberation Serif, Liberation Sans and Liberation Mono. Affects every web
// page of the process; needs the application object. Call once, before the
// first page loads. Replaces any other global user style sheet.
void installFontSubstitution();

} // namespace quirex::engine
