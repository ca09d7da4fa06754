#include "printmediareply.h"

#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace quirex::engine
{

namespace
{

bool isIdentifierByte(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' ||
           c == '_' || u >= 0x80;
}

bool startsWithWord(const QByteArray &text, int at, const char *word)
{
    int i = 0;
    for (; word[i] != '\0'; ++i) {
        if (at + i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    }
    return at + i >= text.size() || !isIdentifierByte(text[at + i]);
}

// Past the comment or string starting at `at`, or `at` itself for others.
int skipCommentOrString(const QByteArray &css, int at)
{
    const char c = css[at];
    if (c == '/' && at + 1 < css.size() && css[at + 1] == '*') {
        const int end = css.indexOf("*/", at + 2);
        return end < 0 ? css.size() : end + 2;
    }
    if (c == '"' || c == '\'') {
        int i = at + 1;
        while (i < css.size() && css[i] != c && css[i] != '\n') {
            if (css[i] == '\\')
                ++i;
            ++i;
        }
        return std::min<int>(i + 1, css.size());
    }
    return at;
}

// The media list [from, to) of `css` styled for print, appended to `out`.
void appendSwappedMedia(const QByteArray &css, int from, int to, QByteArray &out)
{
    int i = from;
    while (i < to) {
        if (!isIdentifierByte(css[i]) || (i > from && isIdentifierByte(css[i - 1]))) {
            out += css[i++];
            continue;
        }
        int end = i;
        while (end < to && isIdentifierByte(css[end]))
            ++end;
        const QByteArray word = css.mid(i, end - i).toLower();
        if (word == "print")
            out += "all";
        else if (word == "screen")
            out += "unprintedscreen";
        else
            out += css.mid(i, end - i);
        i = end;
    }
}

// Where the media list of an @import starting its address at `at` begins.
int pastImportAddress(const QByteArray &css, int at)
{
    int i = at;
    while (i < css.size() && (css[i] == ' ' || css[i] == '\t' || css[i] == '\n' || css[i] == '\r'))
        ++i;
    if (i >= css.size())
        return i;
    if (css[i] == '"' || css[i] == '\'')
        return skipCommentOrString(css, i);
    if (startsWithWord(css, i, "url")) {
        const int close = css.indexOf(')', i);
        return close < 0 ? css.size() : close + 1;
    }
    return i;
}

} // namespace

QByteArray printMediaStyleSheet(const QByteArray &css)
{
    QByteArray out;
    out.reserve(css.size() + 64);
    int i = 0;
    while (i < css.size()) {
        const int skipped = skipCommentOrString(css, i);
        if (skipped != i) {
            out += css.mid(i, skipped - i);
            i = skipped;
            continue;
        }
        if (css[i] != '@') {
            out += css[i++];
            continue;
        }
        const bool media = startsWithWord(css, i + 1, "media");
        const bool import = !media && startsWithWord(css, i + 1, "import");
        if (!media && !import) {
            out += css[i++];
            continue;
        }
        int listStart = i + 1 + (media ? 5 : 6);
        if (import)
            listStart = pastImportAddress(css, listStart);
        int listEnd = listStart;
        while (listEnd < css.size() && css[listEnd] != '{' && css[listEnd] != ';')
            ++listEnd;
        out += css.mid(i, listStart - i);
        appendSwappedMedia(css, listStart, listEnd, out);
        i = listEnd;
    }
    return out;
}

bool isStyleSheetRequest(const QNetworkRequest &request)
{
    if (request.rawHeader("Accept").startsWith("text/css"))
        return true;
    return request.url().path().endsWith(QLatin1String(".css"), Qt::CaseInsensitive);
}

PrintMediaReply::PrintMediaReply(QNetworkReply *inner, QObject *parent)
    : SettlingReply(parent)
    , m_inner(inner)
{
    // Owned outside the object tree: the manager's destructor deletes every
    // reply it finds below itself, grandchildren too, and would delete a
    // child of this reply a second time.
    m_inner->setParent(nullptr);
    setRequest(m_inner->request());
    setUrl(m_inner->url());
    setOperation(m_inner->operation());
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    connect(m_inner, &QNetworkReply::readyRead, this, [this] { m_body += m_inner->readAll(); });
    if (m_inner->isFinished())
        QTimer::singleShot(0, this, &PrintMediaReply::finishInner);
    else
        connect(m_inner, &QNetworkReply::finished, this, &PrintMediaReply::finishInner);
}

PrintMediaReply::~PrintMediaReply()
{
    delete m_inner;
}

void PrintMediaReply::finishInner()
{
    if (m_complete || isFinished())
        return;
    m_body += m_inner->readAll();
    setUrl(m_inner->url());
    for (const QNetworkReply::RawHeaderPair &header : m_inner->rawHeaderPairs())
        setRawHeader(header.first, header.second);
    for (const QNetworkRequest::Attribute attribute :
         {QNetworkRequest::HttpStatusCodeAttribute, QNetworkRequest::HttpReasonPhraseAttribute,
          QNetworkRequest::RedirectionTargetAttribute}) {
        const QVariant value = m_inner->attribute(attribute);
        if (value.isValid())
            setAttribute(attribute, value);
    }
    m_body = printMediaStyleSheet(m_body);
    // Readable from here on, also while the signals below are handled.
    m_complete = true;
    setHeader(QNetworkRequest::ContentLengthHeader, m_body.size());
    if (m_inner->error() != NoError) {
        setError(m_inner->error(), m_inner->errorString());
        emitFailure(m_inner->error());
    }
    emit metaDataChanged();
    if (!m_body.isEmpty())
        emit readyRead();
    setFinished(true);
    emit finished();
}

void PrintMediaReply::abort()
{
    if (isFinished())
        return;
    disconnect(m_inner, nullptr, this, nullptr);
    m_inner->abort();
    cancel();
}

qint64 PrintMediaReply::bytesAvailable() const
{
    const qint64 left = m_complete ? m_body.size() - m_read : 0;
    return std::max<qint64>(0, left) + QNetworkReply::bytesAvailable();
}

qint64 PrintMediaReply::readData(char *data, qint64 maxSize)
{
    if (!m_complete)
        return 0;
    const qint64 left = m_body.size() - m_read;
    if (left <= 0)
        return -1;
    const qint64 count = std::min(left, maxSize);
    if (count <= 0)
        return 0;
    std::memcpy(data, m_body.constData() + m_read, static_cast<size_t>(count));
    m_read += count;
    return count;
}

} // namespace quirex::engine
