#include "pdfcommandline.h"

#include "encodingtable.h"
#include "papertable.h"

#include <QHash>
#include <QRegularExpression>

#include <cmath>
#include <functional>

namespace quirex::app
{

namespace
{

constexpr double kPixelsPerMillimetre = 96 / 25.4;
constexpr double kLargestPaperMillimetres = 5080;

int pixels(double millimetres)
{
    return int(std::lround(millimetres * kPixelsPerMillimetre));
}

// How an option reads its values; the handler gets them and returns an error
// sentence, empty when the values were taken.
using Handler = std::function<QString(PdfOptions &, const QStringList &values)>;

struct OptionRule {
    int values = 0;
    Handler apply;
};

QString needsNumber(const QString &option, const QString &value)
{
    return QStringLiteral("\"%1\" needs a number, not \"%2\"").arg(option, value);
}

Handler flag(bool PdfOptions::*field, bool value)
{
    return [field, value](PdfOptions &options, const QStringList &) {
        options.*field = value;
        return QString();
    };
}

Handler margin(int ConversionSettings::*field, const QString &option)
{
    return [field, option](PdfOptions &options, const QStringList &values) {
        double mm = 0;
        if (!parseLength(values[0], &mm))
            return QStringLiteral("\"%1\" needs a length such as 10mm or 0.5in, not \"%2\"")
                .arg(option, values[0]);
        options.settings.*field = pixels(mm);
        return QString();
    };
}

Handler bandText(PageBand PageDecorations::*band, QString PageBand::*field)
{
    return [band, field](PdfOptions &options, const QStringList &values) {
        (options.decorations.*band).*field = values[0];
        return QString();
    };
}

Handler bandNumber(PageBand PageDecorations::*band, double PageBand::*field, bool length,
                   const QString &option)
{
    return [band, field, length, option](PdfOptions &options, const QStringList &values) {
        double value = 0;
        bool ok = false;
        if (length) {
            ok = parseLength(values[0], &value);
        } else {
            value = values[0].toDouble(&ok);
            ok = ok && value > 0 && value <= 1000;
        }
        if (!ok)
            return needsNumber(option, values[0]);
        (options.decorations.*band).*field = value;
        return QString();
    };
}

Handler bandLine(PageBand PageDecorations::*band, bool on)
{
    return [band, on](PdfOptions &options, const QStringList &) {
        (options.decorations.*band).line = on;
        return QString();
    };
}

Handler ignored(const QString &option)
{
    return [option](PdfOptions &options, const QStringList &values) {
        options.ignored.append(values.isEmpty() ? option
                                                : option + QLatin1Char(' ') + values.join(' '));
        return QString();
    };
}

// The paper named as the paper table names it, in any letter case.
int paperIndex(const QString &name)
{
    const QStringList &names = paperNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int encodingIndexAnyCase(const QString &name)
{
    const QStringList &names = encodingNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    // The common spellings without the hyphen ("utf8", "latin1").
    if (name.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0)
        return encodingIndex(QStringLiteral("UTF-8"));
    return -1;
}

// The options: long names without their dashes, and the short forms.
const QHash<QString, OptionRule> &optionRules()
{
    using S = ConversionSettings;
    using D = PageDecorations;
    using B = PageBand;
    static const QHash<QString, OptionRule> rules = [] {
        QHash<QString, OptionRule> r;
        r[QStringLiteral("quiet")] = {0, flag(&PdfOptions::quiet, true)};
        r[QStringLiteral("verbose")] = {0, flag(&PdfOptions::verbose, true)};
        r[QStringLiteral("page-size")] = {1, [](PdfOptions &o, const QStringList &v) {
                                              const int index = paperIndex(v[0]);
                                              if (index < 0)
                                                  return QStringLiteral(
                                                             "\"--page-size\" does not know the "
                                                             "paper \"%1\"")
                                                      .arg(v[0]);
                                              o.settings.PaperSize = index;
                                              return QString();
                                          }};
        r[QStringLiteral("orientation")] = {1, [](PdfOptions &o, const QStringList &v) {
                                                const QString word = v[0].trimmed().toLower();
                                                if (word == QLatin1String("landscape"))
                                                    o.settings.Orientation = 1;
                                                else if (word == QLatin1String("portrait"))
                                                    o.settings.Orientation = 0;
                                                else
                                                    return QStringLiteral(
                                                               "\"--orientation\" is Landscape "
                                                               "or Portrait, not \"%1\"")
                                                        .arg(v[0]);
                                                return QString();
                                            }};
        for (const char *side : {"width", "height"}) {
            const bool width = side[0] == 'w';
            const QString option = QStringLiteral("--page-") + QLatin1String(side);
            r[option.mid(2)] = {
                1, [width, option](PdfOptions &o, const QStringList &v) {
                    double mm = 0;
                    if (!parseLength(v[0], &mm) || mm <= 0 || mm > kLargestPaperMillimetres)
                        return QStringLiteral("\"%1\" needs a paper length, not "
                                              "\"%2\"")
                            .arg(option, v[0]);
                    (width ? o.settings.CustomPaperWidth : o.settings.CustomPaperHeight) =
                        int(std::lround(mm));
                    return QString();
                }};
        }
        r[QStringLiteral("margin-top")] = {1,
                                           margin(&S::MarginTop, QStringLiteral("--margin-top"))};
        r[QStringLiteral("margin-bottom")] = {
            1, margin(&S::MarginBottom, QStringLiteral("--margin-bottom"))};
        r[QStringLiteral("margin-left")] = {
            1, margin(&S::MarginLeft, QStringLiteral("--margin-left"))};
        r[QStringLiteral("margin-right")] = {
            1, margin(&S::MarginRight, QStringLiteral("--margin-right"))};
        r[QStringLiteral("title")] = {1, [](PdfOptions &o, const QStringList &v) {
                                          o.settings.Title = v[0];
                                          return QString();
                                      }};
        r[QStringLiteral("grayscale")] = {0, flag(&PdfOptions::grayscale, true)};
        r[QStringLiteral("zoom")] = {1, [](PdfOptions &o, const QStringList &v) {
                                         bool ok = false;
                                         const double zoom = v[0].toDouble(&ok);
                                         if (!ok || !(zoom >= 0.1 && zoom <= 10))
                                             return QStringLiteral("\"--zoom\" needs a factor "
                                                                   "from 0.1 to 10, not \"%1\"")
                                                 .arg(v[0]);
                                         o.settings.Zoom = int(std::lround(zoom * 100));
                                         return QString();
                                     }};
        r[QStringLiteral("encoding")] = {1, [](PdfOptions &o, const QStringList &v) {
                                             const int index = encodingIndexAnyCase(v[0]);
                                             if (index < 0)
                                                 return QStringLiteral("\"--encoding\" does not "
                                                                       "know \"%1\"")
                                                     .arg(v[0]);
                                             o.settings.Encoding = index;
                                             return QString();
                                         }};
        r[QStringLiteral("outline")] = {0, flag(&PdfOptions::outline, true)};
        r[QStringLiteral("no-outline")] = {0, flag(&PdfOptions::outline, false)};
        r[QStringLiteral("outline-depth")] = {1, [](PdfOptions &o, const QStringList &v) {
                                                  bool ok = false;
                                                  const int depth = v[0].toInt(&ok);
                                                  if (!ok || depth < 0)
                                                      return needsNumber(
                                                          QStringLiteral("--outline-depth"), v[0]);
                                                  o.outlineDepth = depth;
                                                  return QString();
                                              }};
        r[QStringLiteral("print-media-type")] = {0, [](PdfOptions &o, const QStringList &) {
                                                     o.settings.ScreenMedia = false;
                                                     return QString();
                                                 }};
        r[QStringLiteral("no-print-media-type")] = {0, [](PdfOptions &o, const QStringList &) {
                                                        o.settings.ScreenMedia = true;
                                                        return QString();
                                                    }};
        r[QStringLiteral("disable-javascript")] = {0, flag(&PdfOptions::javascript, false)};
        r[QStringLiteral("enable-javascript")] = {0, flag(&PdfOptions::javascript, true)};
        r[QStringLiteral("javascript-delay")] = {
            1, [](PdfOptions &o, const QStringList &v) {
                bool ok = false;
                const int delay = v[0].toInt(&ok);
                if (!ok || delay < 0 || delay > 600000)
                    return needsNumber(QStringLiteral("--javascript-delay"), v[0]);
                o.javascriptDelayMs = delay;
                return QString();
            }};
        r[QStringLiteral("enable-local-file-access")] = {0, flag(&PdfOptions::untrusted, false)};
        r[QStringLiteral("disable-local-file-access")] = {0, flag(&PdfOptions::untrusted, true)};
        r[QStringLiteral("allow")] = {1, [](PdfOptions &o, const QStringList &v) {
                                          o.allowedPaths.append(v[0]);
                                          return QString();
                                      }};
        r[QStringLiteral("load-error-handling")] = {
            1, [](PdfOptions &o, const QStringList &v) {
                const QString word = v[0].trimmed().toLower();
                if (word == QLatin1String("abort"))
                    o.loadErrors = LoadErrorHandling::Abort;
                else if (word == QLatin1String("ignore"))
                    o.loadErrors = LoadErrorHandling::Ignore;
                else if (word == QLatin1String("skip"))
                    o.loadErrors = LoadErrorHandling::Skip;
                else
                    return QStringLiteral("\"--load-error-handling\" is abort, ignore or skip, "
                                          "not \"%1\"")
                        .arg(v[0]);
                return QString();
            }};
        r[QStringLiteral("custom-header")] = {2, [](PdfOptions &o, const QStringList &v) {
                                                  o.customHeaders.append({v[0], v[1]});
                                                  return QString();
                                              }};
        r[QStringLiteral("cookie")] = {2, [](PdfOptions &o, const QStringList &v) {
                                           o.cookies.append({v[0], v[1]});
                                           return QString();
                                       }};
        r[QStringLiteral("no-images")] = {0, flag(&PdfOptions::loadImages, false)};
        r[QStringLiteral("images")] = {0, flag(&PdfOptions::loadImages, true)};
        for (const bool header : {true, false}) {
            B D::*const band = header ? &D::header : &D::footer;
            const QString name = header ? QStringLiteral("header") : QStringLiteral("footer");
            r[name + QStringLiteral("-left")] = {1, bandText(band, &B::left)};
            r[name + QStringLiteral("-center")] = {1, bandText(band, &B::center)};
            r[name + QStringLiteral("-right")] = {1, bandText(band, &B::right)};
            r[name + QStringLiteral("-font-name")] = {1, bandText(band, &B::fontName)};
            r[name + QStringLiteral("-font-size")] = {
                1,
                bandNumber(band, &B::fontSize, false, QStringLiteral("--%1-font-size").arg(name))};
            // The spacing is in millimetres, as scripts give it.
            r[name + QStringLiteral("-spacing")] = {
                1, bandNumber(band, &B::spacingMm, true, QStringLiteral("--%1-spacing").arg(name))};
            r[name + QStringLiteral("-line")] = {0, bandLine(band, true)};
            r[QStringLiteral("no-") + name + QStringLiteral("-line")] = {0, bandLine(band, false)};
        }
        // Accepted without effect: what the engine does anyway, or settles
        // otherwise (its resolution, its image handling), and switches that
        // only the original program's own build knows.
        for (const char *name : {"disable-smart-shrinking",
                                 "enable-smart-shrinking",
                                 "lowquality",
                                 "background",
                                 "no-background",
                                 "print-media-type-default",
                                 "collate",
                                 "no-collate",
                                 "stop-slow-scripts",
                                 "no-stop-slow-scripts",
                                 "disable-plugins",
                                 "debug-javascript",
                                 "no-debug-javascript",
                                 "enable-forms",
                                 "disable-forms",
                                 "enable-internal-links",
                                 "disable-internal-links",
                                 "enable-external-links",
                                 "disable-external-links",
                                 "use-xserver",
                                 "no-pdf-compression",
                                 "custom-header-propagation",
                                 "no-custom-header-propagation",
                                 "keep-relative-links",
                                 "proxy-hostname-lookup",
                                 "enable-toc-back-links",
                                 "disable-toc-back-links"})
            r[QLatin1String(name)] = {0, ignored(QStringLiteral("--") + QLatin1String(name))};
        for (const char *name :
             {"dpi", "image-dpi", "image-quality", "log-level", "minimum-font-size", "copies",
              "load-media-error-handling", "viewport-size", "page-offset"})
            r[QLatin1String(name)] = {1, ignored(QStringLiteral("--") + QLatin1String(name))};
        return r;
    }();
    return rules;
}

const QHash<QChar, QString> &shortForms()
{
    static const QHash<QChar, QString> forms{
        {QLatin1Char('q'), QStringLiteral("quiet")},
        {QLatin1Char('s'), QStringLiteral("page-size")},
        {QLatin1Char('O'), QStringLiteral("orientation")},
        {QLatin1Char('T'), QStringLiteral("margin-top")},
        {QLatin1Char('B'), QStringLiteral("margin-bottom")},
        {QLatin1Char('L'), QStringLiteral("margin-left")},
        {QLatin1Char('R'), QStringLiteral("margin-right")},
        {QLatin1Char('g'), QStringLiteral("grayscale")},
        {QLatin1Char('n'), QStringLiteral("disable-javascript")},
        {QLatin1Char('d'), QStringLiteral("dpi")},
        {QLatin1Char('l'), QStringLiteral("lowquality")},
    };
    return forms;
}

// Empty when the margins leave a printable area on the paper.
QString marginProblem(const ConversionSettings &s)
{
    QSizeF paper = s.PaperSize == CustomPaperSize ? QSizeF(s.CustomPaperWidth, s.CustomPaperHeight)
                                                  : paperMillimetres(s.PaperSize);
    if (s.Orientation != 0)
        paper.transpose();
    if (s.MarginLeft + s.MarginRight >= paper.width() * kPixelsPerMillimetre)
        return QStringLiteral("the left and right margins leave no printable width");
    if (s.MarginTop + s.MarginBottom >= paper.height() * kPixelsPerMillimetre)
        return QStringLiteral("the top and bottom margins leave no printable height");
    return QString();
}

} // namespace

bool parseLength(const QString &text, double *millimetres)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d+(?:\\.\\d*)?|\\.\\d+)\\s*(mm|cm|in|px|pt)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const double value = match.captured(1).toDouble();
    const QString unit = match.captured(2).toLower();
    double mm = value;
    if (unit == QLatin1String("cm"))
        mm = value * 10;
    else if (unit == QLatin1String("in"))
        mm = value * 25.4;
    else if (unit == QLatin1String("px"))
        mm = value * 25.4 / 96;
    else if (unit == QLatin1String("pt"))
        mm = value * 25.4 / 72;
    if (!std::isfinite(mm) || mm > 1e6)
        return false;
    *millimetres = mm;
    return true;
}

PdfCommandLine parsePdfCommandLine(const QStringList &arguments)
{
    PdfCommandLine line;
    PdfOptions &options = line.options;
    ConversionSettings &s = options.settings;
    // The defaults scripts expect: A4 portrait, 10 mm margins, screen styles.
    s.PaperSize = paperIndex(QStringLiteral("A4"));
    s.MarginTop = s.MarginBottom = s.MarginLeft = s.MarginRight = pixels(10);
    s.ScreenMedia = true;
    s.Zoom = 100;
    options.decorations.syntax = PlaceholderSyntax::Brackets;

    QStringList positional;
    bool optionsEnded = false;
    bool customWidth = false;
    bool customHeight = false;
    const auto wrong = [&line](const QString &error) {
        line.mode = PdfCommandMode::Wrong;
        line.error = error;
        return line;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &token = arguments[i];
        if (optionsEnded || token == QLatin1String("-") || !token.startsWith(QLatin1Char('-'))) {
            // "page" only marks the start of a page object.
            if (optionsEnded || token != QLatin1String("page"))
                positional.append(token);
            continue;
        }
        if (token == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name;
        if (token.startsWith(QLatin1String("--"))) {
            name = token.mid(2);
        } else if (token.size() == 2) {
            name = shortForms().value(token[1]);
            if (token == QLatin1String("-h"))
                name = QStringLiteral("help");
            else if (token == QLatin1String("-V"))
                name = QStringLiteral("version");
        }
        if (name == QLatin1String("help") || name == QLatin1String("extended-help") ||
            token == QLatin1String("-H")) {
            line.mode = PdfCommandMode::Help;
            return line;
        }
        if (name == QLatin1String("version")) {
            line.mode = PdfCommandMode::Version;
            return line;
        }
        const auto rule = optionRules().constFind(name);
        if (name.isEmpty() || rule == optionRules().constEnd())
            return wrong(QStringLiteral("unknown option \"%1\"").arg(token));
        if (i + rule->values >= arguments.size())
            return wrong(
                rule->values == 1
                    ? QStringLiteral("\"%1\" needs a value").arg(token)
                    : QStringLiteral("\"%1\" needs %2 values").arg(token).arg(rule->values));
        const QStringList values = arguments.mid(i + 1, rule->values);
        const QString error = rule->apply(options, values);
        if (!error.isEmpty())
            return wrong(error);
        if (name == QLatin1String("page-width"))
            customWidth = true;
        else if (name == QLatin1String("page-height"))
            customHeight = true;
        i += rule->values;
    }

    if (customWidth != customHeight)
        return wrong(QStringLiteral("\"--page-width\" and \"--page-height\" go together"));
    if (customWidth)
        s.PaperSize = CustomPaperSize;
    const QString problem = marginProblem(s);
    if (!problem.isEmpty())
        return wrong(problem);
    for (const QString &word : positional)
        if (word == QLatin1String("toc") || word == QLatin1String("cover"))
            return wrong(QStringLiteral("\"%1\" objects are not supported").arg(word));
    if (positional.size() < 2)
        return wrong(
            positional.isEmpty()
                ? QStringLiteral("an input and an output are needed")
                : QStringLiteral("an output is needed after \"%1\"").arg(positional.first()));
    line.output = positional.takeLast();
    if (positional.count(QStringLiteral("-")) > 1)
        return wrong(QStringLiteral("standard input can be read only once"));
    line.inputs = positional;
    line.mode = PdfCommandMode::Convert;
    return line;
}

QString pdfUsageText()
{
    return QStringLiteral(
        "Usage: quirexpdf [OPTION]... INPUT... OUTPUT\n"
        "Converts HTML files, URLs (http, https, file) or standard input (\"-\") into one PDF\n"
        "file, or onto standard output (\"-\"). Several inputs are joined, and links between\n"
        "them jump inside the PDF. Lengths take mm, cm, in, px or pt; bare numbers are mm.\n"
        "\n"
        "  -q, --quiet                   no messages but errors\n"
        "      --verbose                 also say which options have no effect here\n"
        "  -s, --page-size SIZE          A4 (default), Letter, Legal, A0-A9, B0-B10, ...\n"
        "  -O, --orientation ORIENT      Portrait (default) or Landscape\n"
        "      --page-width LENGTH       custom paper width (with --page-height)\n"
        "      --page-height LENGTH      custom paper height (with --page-width)\n"
        "  -T, --margin-top LENGTH       default 10mm; also -B, -L, -R and\n"
        "      --margin-bottom, --margin-left, --margin-right\n"
        "      --title TEXT              the PDF's title (default: the first input's)\n"
        "  -g, --grayscale               print in shades of gray\n"
        "      --zoom FACTOR             content zoom (default 1)\n"
        "      --encoding NAME           encoding of inputs that do not declare one\n"
        "      --outline, --no-outline   an outline from the headings (default on)\n"
        "      --outline-depth N         heading levels in the outline (default 4)\n"
        "      --print-media-type        print styles (default: screen styles)\n"
        "      --no-print-media-type     screen styles\n"
        "  -n, --disable-javascript      run no scripts; --enable-javascript (default)\n"
        "      --javascript-delay MS     wait for scripts after the load (default 200)\n"
        "      --enable-local-file-access   documents may read other local files (default)\n"
        "      --disable-local-file-access  untrusted mode: no scripts, nothing but the\n"
        "                                input's own folder and address\n"
        "      --allow PATH              accepted; see --disable-local-file-access\n"
        "      --load-error-handling H   abort (default, exit code 2), ignore or skip\n"
        "      --custom-header NAME VALUE   an HTTP header on every request (repeatable)\n"
        "      --cookie NAME VALUE       a cookie on every request (repeatable)\n"
        "      --no-images               load no images; --images (default)\n"
        "      --header-left|center|right TEXT, --footer-left|center|right TEXT\n"
        "                                band texts; [page] [topage] [frompage] [date]\n"
        "                                [time] [title] [webpage] are replaced\n"
        "      --header-font-name NAME, --header-font-size PT (also --footer-...)\n"
        "      --header-spacing MM, --footer-spacing MM\n"
        "      --header-line, --no-header-line, --footer-line, --no-footer-line\n"
        "  -h, --help                    this text\n"
        "  -V, --version                 program and engine versions\n"
        "\n"
        "Accepted without effect (named under --verbose): --dpi, --image-dpi,\n"
        "--image-quality, --disable-smart-shrinking, --lowquality, --log-level and\n"
        "other switches of wkhtmltopdf's own build. Any other option is an error.\n"
        "Exit codes: 0 done, 1 error, 2 an input failed to load (--load-error-handling abort).\n");
}

} // namespace quirex::app
