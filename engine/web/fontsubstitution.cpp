#include "fontsubstitution.h"

#include <QLatin1String>
#include <QWebSettings>

namespace quirex::engine
{

namespace
{

struct Substitution {
    QLatin1String family;
    QLatin1String liberation;
};

const Substitution substitutions[] = {
    {QLatin1String("Arial"), QLatin1String("Liberation Sans")},
    {QLatin1String("Helvetica"), QLatin1String("Liberation Sans")},
    {QLatin1String("MS Sans Serif"), QLatin1String("Liberation Sans")},
    {QLatin1String("Courier New"), QLatin1String("Liberation Mono")},
    {QLatin1String("Courier"), QLatin1String("Liberation Mono")},
    {QLatin1String("Times New Roman"), QLatin1String("Liberation Serif")},
    {QLatin1String("Times"), QLatin1String("Liberation Serif")},
};

} // namespace

QString fontSubstitutionStyleSheet()
{
    // One rule per family is enough: a bold or italic request through the
    // rule finds the Liberation family's own bold and italic faces.
    QString css;
    for (const Substitution &substitution : substitutions) {
        css += QStringLiteral("@font-face { font-family: '%1'; src: local('%2'); }\n")
                   .arg(substitution.family, substitution.liberation);
    }
    return css;
}

QUrl fontSubstitutionStyleSheetUrl()
{
    return QUrl(QLatin1String("data:text/css;charset=utf-8;base64,") +
                QLatin1String(fontSubstitutionStyleSheet().toUtf8().toBase64()));
}

void installFontSubstitution()
{
    QWebSettings *settings = QWebSettings::globalSettings();
    settings->setUserStyleSheetUrl(fontSubstitutionStyleSheetUrl());
    settings->setFontFamily(QWebSettings::StandardFont, QStringLiteral("Liberation Serif"));
    settings->setFontFamily(QWebSettings::SerifFont, QStringLiteral("Liberation Serif"));
    settings->setFontFamily(QWebSettings::SansSerifFont, QStringLiteral("Liberation Sans"));
    settings->setFontFamily(QWebSettings::FixedFont, QStringLiteral("Liberation Mono"));
}

} // namespace quirex::engine
