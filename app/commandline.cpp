#include "commandline.h"

#include "encodingtable.h"
#include "listfile.h"
#include "papertable.h"

#include <QHash>
#include <QSet>
#include <QSizeF>

#include <climits>

namespace quirex::app
{

namespace
{

const QLatin1String kFileMask("/filemask");
const QLatin1String kInList("/inlist");
const QLatin1String kUrl("/url");
const QLatin1String kOutDir("/outdir");
const QLatin1String kOutList("/outlist");
const QLatin1String kAll2One("/all2one");
// Takes a value, but may stand anywhere, like the switches below: a scheduler
// adds it to a command line written once.
const QLatin1String kShard("/shard");

// Help words are compared with their letter case: "/HELP" names an input file.
const QStringList &helpWords()
{
    static const QStringList words{QStringLiteral("/?"), QStringLiteral("/h"),
                                   QStringLiteral("/help")};
    return words;
}

const QLatin1String kVersion("/version");

// Words that take no value and may stand anywhere.
const QLatin1String kAutoLaunch("/autolaunch");
const QLatin1String kAddLog("/addlog");
const QLatin1String kInvertAll("/invertall");
const QLatin1String kQuiet("/quiet");
const QLatin1String kUntrusted("/untrusted");
const QLatin1String kKeepGoing("/keepgoing");
// Run words with a value, taken out wherever they stand.
const QLatin1String kJobs("/jobs");
const QLatin1String kTimeout("/timeout");

enum class Option {
    Jpeg,
    Footer,
    Author,
    Subject,
    Header,
    Title,
    Keywords,
    PaperSize,
    PostEntireImages,
    PostEntireTables,
    SwapExtension,
    Orientation,
    TempFile,
    MarginLeft,
    MarginRight,
    MarginTop,
    MarginBottom,
    PageNumbers,
    PageNumberFormat,
    Encoding,
    BaseUrl,
    Zoom,
    PreserveLinks,
    Media,
};

const QHash<QString, Option> &optionTable()
{
    static const QHash<QString, Option> table{
        {QStringLiteral("/jpeg"), Option::Jpeg},
        {QStringLiteral("/footer"), Option::Footer},
        {QStringLiteral("/author"), Option::Author},
        {QStringLiteral("/subj"), Option::Subject},
        {QStringLiteral("/header"), Option::Header},
        {QStringLiteral("/title"), Option::Title},
        {QStringLiteral("/keywords"), Option::Keywords},
        {QStringLiteral("/psize"), Option::PaperSize},
        {QStringLiteral("/postentireimages"), Option::PostEntireImages},
        {QStringLiteral("/postentiretables"), Option::PostEntireTables},
        {QStringLiteral("/swapext"), Option::SwapExtension},
        {QStringLiteral("/porient"), Option::Orientation},
        {QStringLiteral("/tempfile"), Option::TempFile},
        {QStringLiteral("/margin-left"), Option::MarginLeft},
        {QStringLiteral("/margin-right"), Option::MarginRight},
        {QStringLiteral("/margin-top"), Option::MarginTop},
        {QStringLiteral("/margin-bottom"), Option::MarginBottom},
        {QStringLiteral("/pagenumbers"), Option::PageNumbers},
        {QStringLiteral("/pagenumstr"), Option::PageNumberFormat},
        {QStringLiteral("/encoding"), Option::Encoding},
        {QStringLiteral("/baseurl"), Option::BaseUrl},
        {QStringLiteral("/zoom"), Option::Zoom},
        {QStringLiteral("/preservelinks"), Option::PreserveLinks},
        {QStringLiteral("/media"), Option::Media},
    };
    return table;
}

const QSet<QString> &knownWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> all;
        for (auto it = optionTable().cbegin(); it != optionTable().cend(); ++it)
            all.insert(it.key());
        for (const QLatin1String word :
             {kFileMask, kInList, kUrl, kOutDir, kOutList, kAll2One, kShard, kVersion, kAutoLaunch,
              kAddLog, kInvertAll, kQuiet, kUntrusted, kKeepGoing, kJobs, kTimeout})
            all.insert(word);
        for (const QString &word : helpWords())
            all.insert(word);
        return all;
    }();
    return words;
}

bool isBlankOrQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString stripQuotes(const QString &token)
{
    int begin = 0;
    int end = token.size();
    while (begin < end && token[begin] == QLatin1Char('"'))
        ++begin;
    while (end > begin && token[end - 1] == QLatin1Char('"'))
        --end;
    return token.mid(begin, end - begin);
}

// A value read as a number within [low, high], else `otherwise`.
int numberInRange(const QString &value, int low, int high, int otherwise)
{
    const int number = leadingNumber(value);
    return number >= low && number <= high ? number : otherwise;
}

bool readYesNo(const QString &value, bool &field)
{
    const QString word = value.toLower();
    if (word == QLatin1String("yes"))
        field = true;
    else if (word == QLatin1String("no"))
        field = false;
    else
        return false;
    return true;
}

bool readPaperSize(const QString &value, ConversionSettings &settings)
{
    const QString word = value.toLower();
    for (int index = 0; index < PaperSizeCount; ++index) {
        if (paperName(index).toLower() == word) {
            settings.PaperSize = index;
            return true;
        }
    }
    const int x = word.indexOf(QLatin1Char('x'));
    if (word.isEmpty() || !word[0].isDigit() || x < 0)
        return false;
    settings.CustomPaperWidth = leadingNumber(word.left(x));
    settings.CustomPaperHeight = leadingNumber(word.mid(x + 1, 10));
    settings.PaperSize = CustomPaperSize;
    return true;
}

bool applyOption(Option option, const QString &value, ConversionOptions &options)
{
    ConversionSettings &s = options.settings;
    switch (option) {
    case Option::Jpeg:
        s.JpegQuality = numberInRange(value, 0, 100, 79);
        return true;
    case Option::Footer:
        options.footerText = value;
        return true;
    case Option::Author:
        s.Author = value;
        return true;
    case Option::Subject:
        s.Subject = value;
        return true;
    case Option::Header:
        options.headerText = value;
        return true;
    case Option::Title:
        s.Title = value;
        return true;
    case Option::Keywords:
        s.Keywords = value;
        return true;
    case Option::PaperSize:
        return readPaperSize(value, s);
    case Option::PostEntireImages:
        return readYesNo(value, s.PostEntireImages);
    case Option::PostEntireTables:
        return readYesNo(value, s.PostEntireTables);
    case Option::SwapExtension: {
        const QString word = value.toLower();
        if (word == QLatin1String("no")) {
            options.swapExtension = false;
        } else {
            options.swapExtension = true;
            options.outputExtension = word == QLatin1String("yes") ? QStringLiteral("pdf") : value;
        }
        return true;
    }
    case Option::Orientation: {
        const QString word = value.toLower();
        if (word == QLatin1String("portrait"))
            s.Orientation = 0;
        else if (word == QLatin1String("landscape"))
            s.Orientation = 1;
        else
            return false;
        return true;
    }
    case Option::TempFile:
        options.tempFileName = value;
        return true;
    case Option::MarginLeft:
        s.MarginLeft = numberInRange(value, 0, 999, 0);
        return true;
    case Option::MarginRight:
        s.MarginRight = numberInRange(value, 0, 999, 0);
        return true;
    case Option::MarginTop:
        s.MarginTop = numberInRange(value, 0, 999, 0);
        return true;
    case Option::MarginBottom:
        s.MarginBottom = numberInRange(value, 0, 999, 0);
        return true;
    case Option::PageNumbers: {
        const QString word = value.toLower();
        if (word == QLatin1String("yes") || word == QLatin1String("center")) {
            s.PageNumbers = true;
            s.PageNumberAlign = 1;
        } else if (word == QLatin1String("left")) {
            s.PageNumbers = true;
            s.PageNumberAlign = 0;
        } else if (word == QLatin1String("right")) {
            s.PageNumbers = true;
            s.PageNumberAlign = 2;
        } else if (word == QLatin1String("no")) {
            s.PageNumbers = false;
        } else {
            return false;
        }
        return true;
    }
    case Option::PageNumberFormat:
        s.PageNumberFormat = value;
        if (!s.PageNumbers) {
            s.PageNumbers = true;
            s.PageNumberAlign = 1;
        }
        return true;
    case Option::Encoding: {
        const int index = encodingIndex(value);
        if (index < 0)
            return false;
        s.Encoding = index;
        return true;
    }
    case Option::BaseUrl:
        s.BaseURL = value;
        return true;
    case Option::Zoom:
        s.Zoom = numberInRange(value, 2, 20000, 0);
        return true;
    case Option::PreserveLinks:
        return readYesNo(value, s.PreserveLinks);
    case Option::Media: {
        const QString word = value.toLower();
        if (word != QLatin1String("screen") && word != QLatin1String("print"))
            return false;
        s.ScreenMedia = word == QLatin1String("screen");
        return true;
    }
    }
    return false;
}

CommandLine wrong(CommandLine line, const QString &error)
{
    line.mode = CommandMode::Wrong;
    if (line.error.isEmpty())
        line.error = error;
    return line;
}

// A word as an error message shows it: quoted, and shortened when long.
QString quoted(const QString &word)
{
    const QString shown = word.size() > 60 ? word.left(57) + QStringLiteral("...") : word;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

// A share of one input would convert it in every shard, or in none.
QString shardWithoutBatch()
{
    return QStringLiteral("\"/shard\" needs \"/inlist\" or \"/filemask\"");
}

QString tooFew(const QString &mode, const QString &needs)
{
    return QStringLiteral("%1 needs %2").arg(quoted(mode), needs);
}

// Parses the options from `first` and checks that the margins leave a page.
CommandLine withOptions(const QStringList &tokens, int first, CommandLine line)
{
    QString error;
    if (parseOptions(tokens, first, line.options, &error) != 0)
        return wrong(line, error);
    const QString margins = marginProblem(line.options.settings);
    return margins.isEmpty() ? line : wrong(line, margins);
}

// "/filemask" MASK ["/outdir" FOLDER] options...
CommandLine selectFileMask(const QStringList &tokens, CommandLine line)
{
    if (tokens.size() < 3)
        return wrong(line, tooFew(tokens[0], QStringLiteral("a mask and \"/outdir\" FOLDER or an "
                                                            "option with its value after it")));
    line.source = tokens[1];
    int first = 2;
    if (optionWord(tokens[2]) == kOutDir) {
        if (tokens.size() < 4)
            return wrong(line, tooFew(tokens[2], QStringLiteral("a folder after it")));
        line.target = stripQuotes(tokens[3]);
        first = 4;
    }
    line.mode = CommandMode::FileMask;
    return withOptions(tokens, first, line);
}

// "/inlist" LIST ("/outlist" | "/outdir" | "/all2one") VALUE options...
CommandLine selectList(const QStringList &tokens, CommandLine line)
{
    if (tokens.size() < 4)
        return wrong(line, tooFew(tokens[0], QStringLiteral("a list, then \"/outlist\", "
                                                            "\"/outdir\" or \"/all2one\" with "
                                                            "its value")));
    const QString word = optionWord(tokens[2]).toLower();
    if (word == kOutList) {
        line.mode = CommandMode::ListToList;
        line.source = trimmedToken(tokens[1]);
        line.target = trimmedToken(tokens[3]);
        // One standard input cannot hold both lists.
        if (line.source == standardInputListName() && line.target == standardInputListName())
            return wrong(line, QStringLiteral("%1 - and \"/inlist\" - cannot both be read from "
                                              "standard input")
                                   .arg(quoted(tokens[2])));
    } else if (word == kOutDir) {
        line.mode = CommandMode::ListToDir;
        line.source = stripQuotes(tokens[1]);
        line.target = stripQuotes(tokens[3]);
    } else if (word == kAll2One) {
        line.mode = CommandMode::ListToOne;
        line.source = stripQuotes(tokens[1]);
        line.target = trimmedToken(tokens[3]);
    } else {
        // Any other word would convert nothing and still report success.
        return wrong(line, QStringLiteral("%1 after \"/inlist\" LIST is not \"/outlist\", "
                                          "\"/outdir\" or \"/all2one\"")
                               .arg(quoted(tokens[2])));
    }
    return withOptions(tokens, 4, line);
}

CommandLine selectUrl(const QStringList &tokens, CommandLine line)
{
    if (tokens.size() < 2)
        return wrong(line, tooFew(tokens[0], QStringLiteral("an address after it")));
    line.mode = CommandMode::Url;
    line.source = completeUrl(trimmedToken(tokens[1]));
    return withOptions(tokens, 2, line);
}

CommandLine selectSingleFile(const QStringList &tokens, CommandLine line)
{
    line.mode = CommandMode::SingleFile;
    line.source = trimmedToken(tokens[0]);
    int first = 1;
    if (tokens.size() > 1 && !isKnownWord(tokens[1])) {
        line.target = trimmedToken(tokens[1]);
        first = 2;
    } else {
        // Derived before the options, so "/swapext" never changes it.
        line.target = line.source + QLatin1Char('.') + line.options.outputExtension;
    }
    return withOptions(tokens, first, line);
}

} // namespace

QString optionWord(const QString &token)
{
    if (token.startsWith(QLatin1String("--")) && token.size() > 2)
        return QLatin1Char('/') + token.mid(2);
    if (token.startsWith(QLatin1Char('-')) && token.size() > 1)
        return QLatin1Char('/') + token.mid(1);
    if (token.startsWith(QLatin1Char('/')))
        return token;
    return QString();
}

bool isKnownWord(const QString &token)
{
    const QString word = optionWord(token);
    return !word.isEmpty() && knownWords().contains(word.toLower());
}

bool isGlobalSwitch(const QString &token)
{
    const QString word = optionWord(token).toLower();
    return word == kAutoLaunch || word == kAddLog || word == kInvertAll || word == kQuiet ||
           word == kUntrusted || word == kKeepGoing;
}

static int runValue(const QString &value, int largest)
{
    bool ok = false;
    const qlonglong number = value.trimmed().toLongLong(&ok);
    if (!ok || number < 1)
        return 0;
    return int(qMin(number, qlonglong(largest)));
}

QString trimmedToken(const QString &token)
{
    int begin = 0;
    int end = token.size();
    while (begin < end && isBlankOrQuote(token[begin]))
        ++begin;
    while (end > begin && isBlankOrQuote(token[end - 1]))
        --end;
    return token.mid(begin, end - begin);
}

QString unquotedToken(const QString &token)
{
    if (token.size() >= 2 && token.startsWith(QLatin1Char('"')) && token.endsWith(QLatin1Char('"')))
        return token.mid(1, token.size() - 2);
    return token;
}

int leadingNumber(const QString &text)
{
    int i = 0;
    const int size = text.size();
    while (i < size && (text[i] == QLatin1Char(' ') ||
                        (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > qint64(INT_MAX) + 1)
            value = qint64(INT_MAX) + 1; // keeps the loop from overflowing
    }
    if (negative)
        value = -value;
    return int(qBound(qint64(INT_MIN), value, qint64(INT_MAX)));
}

int parseOptions(const QStringList &tokens, int first, ConversionOptions &options, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return -1;
    };
    for (int i = first; i < tokens.size(); i += 2) {
        const auto option = optionTable().constFind(optionWord(tokens[i]).toLower());
        if (option == optionTable().cend())
            return fail(QStringLiteral("%1 is not an option").arg(quoted(tokens[i])));
        if (i + 1 >= tokens.size())
            return fail(QStringLiteral("%1 needs a value").arg(quoted(tokens[i])));
        if (!applyOption(*option, unquotedToken(tokens[i + 1]), options))
            return fail(QStringLiteral("%1 is not a value of %2")
                            .arg(quoted(tokens[i + 1]), quoted(tokens[i])));
    }
    return 0;
}

QString marginProblem(const ConversionSettings &settings)
{
    QSizeF paper = settings.PaperSize == CustomPaperSize
                       ? QSizeF(settings.CustomPaperWidth, settings.CustomPaperHeight)
                       : paperMillimetres(settings.PaperSize);
    // The engine keeps A4 for a custom size it refuses.
    const auto usable = [](double side) { return side > 0 && side <= 5080; };
    if (!usable(paper.width()) || !usable(paper.height()))
        paper = paperMillimetres(4);
    if (settings.Orientation != 0)
        paper.transpose();
    // The margins are pixels at the engine's 96 dots per inch; the bottom one
    // gets the quarter-inch reserve for page numbers.
    const double width = paper.width() * 96 / 25.4;
    const double height = paper.height() * 96 / 25.4;
    const int bottom = settings.MarginBottom + 96 * 180 / 720;
    if (settings.MarginLeft + settings.MarginRight >= width)
        return QStringLiteral("the margins \"/margin-left\" %1 and \"/margin-right\" %2 leave "
                              "no printable width on a paper %3 pixels wide")
            .arg(settings.MarginLeft)
            .arg(settings.MarginRight)
            .arg(int(width));
    if (settings.MarginTop + bottom >= height)
        return QStringLiteral("the margins \"/margin-top\" %1 and \"/margin-bottom\" %2 (with "
                              "%3 pixels kept for page numbers) leave no printable height on a "
                              "paper %4 pixels high")
            .arg(settings.MarginTop)
            .arg(settings.MarginBottom)
            .arg(bottom - settings.MarginBottom)
            .arg(int(height));
    return QString();
}

QString completeUrl(const QString &address)
{
    if (address == QLatin1String("about:blank") || address.startsWith(QLatin1String("http://")) ||
        address.startsWith(QLatin1String("file://")) ||
        address.startsWith(QLatin1String("https://")))
        return address;
    return QStringLiteral("http://") + address;
}

CommandLine parseCommandLine(const QStringList &arguments, const ConversionOptions &start)
{
    CommandLine line;
    line.options = start;
    QStringList tokens;
    tokens.reserve(arguments.size());
    bool shardGiven = false;
    QString runError;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const QString word = optionWord(argument).toLower();
        if (word == kShard) {
            if (shardGiven)
                return wrong(line, QStringLiteral("%1 is given twice").arg(quoted(argument)));
            if (i + 1 >= arguments.size())
                return wrong(line, QStringLiteral("%1 needs a value K/N").arg(quoted(argument)));
            if (!parseListShard(trimmedToken(arguments[i + 1]), &line.shard))
                return wrong(line, QStringLiteral("%1 is not a value of %2 (K/N, 1 <= K <= N)")
                                       .arg(quoted(arguments[i + 1]), quoted(argument)));
            shardGiven = true;
            ++i;
        } else if (word == kJobs || word == kTimeout) {
            const bool jobs = word == kJobs;
            if (i + 1 >= arguments.size()) {
                runError = QStringLiteral("%1 needs a value").arg(quoted(argument));
                continue;
            }
            const QString value = arguments[++i];
            const int number = runValue(value, jobs ? kMaxJobs : kMaxTimeoutSeconds);
            if (number == 0 && runError.isEmpty())
                runError =
                    QStringLiteral("%1 is not a value of %2").arg(quoted(value), quoted(argument));
            (jobs ? line.jobs : line.timeoutSeconds) = number;
        } else if (word == kKeepGoing)
            line.keepGoing = true;
        else if (word == kAutoLaunch)
            line.autoLaunch = true;
        else if (word == kAddLog)
            line.addLog = true;
        else if (word == kInvertAll)
            line.invertAll = true;
        else if (word == kQuiet)
            line.quiet = true;
        else if (word == kUntrusted)
            line.untrusted = true;
        else
            tokens.append(argument);
    }

    if (!runError.isEmpty())
        return wrong(line, runError);
    if (tokens.isEmpty() && shardGiven)
        return wrong(line, shardWithoutBatch());
    if (tokens.isEmpty()) {
        line.mode = CommandMode::Window;
        return line;
    }
    bool onlyBlanks = true;
    for (const QString &token : qAsConst(tokens))
        onlyBlanks = onlyBlanks && token.trimmed().isEmpty();
    if (onlyBlanks)
        return wrong(line, QStringLiteral("the arguments are blank"));

    const QString first = optionWord(tokens[0]);
    if (helpWords().contains(first)) {
        line.mode = CommandMode::Help;
        return line;
    }
    if (first == kVersion) {
        line.mode = CommandMode::Version;
        return line;
    }
    const QString mode = first.toLower();
    if (mode == kFileMask)
        return selectFileMask(tokens, line);
    if (mode == kInList)
        return selectList(tokens, line);
    if (shardGiven)
        return wrong(line, shardWithoutBatch());
    if (mode == kUrl)
        return selectUrl(tokens, line);
    return selectSingleFile(tokens, line);
}

} // namespace quirex::app
