#include "pdfobjectreader.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace quirex::engine
{

namespace
{

// Nesting deeper than this is no file the engine wrote.
constexpr int kMaxDepth = 64;
// Objects and tables are read in pieces of this size, grown while a value
// runs past the end of what was read.
constexpr qint64 kFirstRead = 4096;
constexpr double kMaxObjects = 8388607;

bool isWhite(char c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(char c)
{
    return c != 0 && std::strchr("()<>[]{}/%", c) != nullptr;
}

bool isRegular(char c)
{
    return !isWhite(c) && !isDelimiter(c);
}

void skipSpace(const QByteArray &data, int &at)
{
    while (at < data.size()) {
        if (isWhite(data[at])) {
            ++at;
        } else if (data[at] == '%') {
            while (at < data.size() && data[at] != '\n' && data[at] != '\r')
                ++at;
        } else {
            break;
        }
    }
}

class Parser
{
public:
    Parser(const QByteArray &data, int &at)
        : m_data(data)
        , m_at(at)
    {
    }

    bool ranOut() const { return m_ranOut; }

    PdfValue value(int depth)
    {
        skipSpace(m_data, m_at);
        if (m_at >= m_data.size()) {
            m_ranOut = true;
            return {};
        }
        if (depth > kMaxDepth)
            return {};
        const int start = m_at;
        PdfValue result;
        const char c = m_data[m_at];
        if (c == '/') {
            ++m_at;
            regularRun();
            result.kind = PdfValue::Kind::Name;
        } else if (c == '(') {
            if (!literalString())
                return {};
            result.kind = PdfValue::Kind::String;
        } else if (c == '<' && m_at + 1 < m_data.size() && m_data[m_at + 1] == '<') {
            m_at += 2;
            if (!dictionary(depth, result))
                return {};
            result.kind = PdfValue::Kind::Dictionary;
        } else if (c == '<') {
            const int end = m_data.indexOf('>', m_at);
            if (end < 0) {
                m_ranOut = true;
                return {};
            }
            m_at = end + 1;
            result.kind = PdfValue::Kind::String;
        } else if (c == '[') {
            ++m_at;
            if (!array(depth, result))
                return {};
            result.kind = PdfValue::Kind::Array;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' ||
                   c == '.') {
            if (!numberOrReference(result))
                return {};
        } else {
            const QByteArray word = m_data.mid(m_at, regularRun());
            if (word == "true" || word == "false")
                result.kind = PdfValue::Kind::Boolean;
            else if (word == "null")
                result.kind = PdfValue::Kind::Null;
            else
                return {};
        }
        result.text = m_data.mid(start, m_at - start);
        return result;
    }

private:
    // Moves past a run of regular characters; its length. A run that ends
    // where the data ends may go on in the file.
    int regularRun()
    {
        const int start = m_at;
        while (m_at < m_data.size() && isRegular(m_data[m_at]))
            ++m_at;
        if (m_at >= m_data.size())
            m_ranOut = true;
        return m_at - start;
    }

    bool literalString()
    {
        int depth = 0;
        while (m_at < m_data.size()) {
            const char c = m_data[m_at];
            if (c == '\\') {
                m_at += 2;
                continue;
            }
            ++m_at;
            if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                return true;
            }
        }
        m_ranOut = true;
        return false;
    }

    bool dictionary(int depth, PdfValue &result)
    {
        for (;;) {
            skipSpace(m_data, m_at);
            if (m_at + 1 >= m_data.size()) {
                m_ranOut = true;
                return false;
            }
            if (m_data[m_at] == '>' && m_data[m_at + 1] == '>') {
                m_at += 2;
                return true;
            }
            PdfValue key = value(depth + 1);
            if (key.kind != PdfValue::Kind::Name)
                return false;
            PdfValue item = value(depth + 1);
            if (!item.isValid())
                return false;
            result.entries.emplace_back(std::move(key.text), std::move(item));
        }
    }

    bool array(int depth, PdfValue &result)
    {
        for (;;) {
            skipSpace(m_data, m_at);
            if (m_at >= m_data.size()) {
                m_ranOut = true;
                return false;
            }
            if (m_data[m_at] == ']') {
                ++m_at;
                return true;
            }
            PdfValue item = value(depth + 1);
            if (!item.isValid())
                return false;
            result.items.push_back(std::move(item));
        }
    }

    // A number, or "OBJECT GENERATION R".
    bool numberOrReference(PdfValue &result)
    {
        const int start = m_at;
        const QByteArray first = m_data.mid(start, regularRun());
        bool ok = false;
        result.number = first.toDouble(&ok);
        if (!ok)
            return false;
        result.kind = PdfValue::Kind::Number;
        const bool whole = !first.contains('.') && !first.startsWith('+') && !first.startsWith('-');
        if (!whole || m_ranOut)
            return true;
        // Looks ahead for the generation and the R; not found, the number
        // stands alone.
        const int afterFirst = m_at;
        skipSpace(m_data, m_at);
        const int secondStart = m_at;
        while (m_at < m_data.size() && std::isdigit(static_cast<unsigned char>(m_data[m_at])))
            ++m_at;
        const int secondEnd = m_at;
        skipSpace(m_data, m_at);
        if (m_at >= m_data.size()) {
            m_ranOut = true;
            return true;
        }
        const bool reference = secondEnd > secondStart && m_data[m_at] == 'R' &&
                               (m_at + 1 >= m_data.size() || !isRegular(m_data[m_at + 1]));
        if (!reference) {
            m_at = afterFirst;
            return true;
        }
        ++m_at;
        result.kind = PdfValue::Kind::Reference;
        result.object = first.toInt(&ok);
        result.generation = m_data.mid(secondStart, secondEnd - secondStart).toInt();
        return ok;
    }

    const QByteArray &m_data;
    int &m_at;
    bool m_ranOut = false;
};

// A non-negative integer at `at`; -1 when there is none.
qint64 readUnsigned(const QByteArray &data, int &at)
{
    skipSpace(data, at);
    const int start = at;
    qint64 value = 0;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])) &&
           at - start < 18)
        value = value * 10 + (data[at++] - '0');
    return at > start ? value : -1;
}

bool startsWithWord(const QByteArray &data, int at, const char *word)
{
    const int length = static_cast<int>(std::strlen(word));
    return data.mid(at, length) == word &&
           (at + length >= data.size() || !isRegular(data[at + length]));
}

} // namespace

const PdfValue *PdfValue::find(const char *key) const
{
    for (const auto &entry : entries)
        if (entry.first == key)
            return &entry.second;
    return nullptr;
}

PdfValue parsePdfValue(const QByteArray &data, int &at, bool *ranOut)
{
    Parser parser(data, at);
    PdfValue value = parser.value(0);
    if (ranOut)
        *ranOut = parser.ranOut();
    return parser.ranOut() ? PdfValue() : value;
}

bool PdfObjectReader::open(QFile *file, QString *error)
{
    m_file = file;
    m_size = file->size();
    m_offsets.clear();
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QByteArray tail = readAt(std::max<qint64>(0, m_size - 1024), 1024);
    const int at = tail.lastIndexOf("startxref");
    if (at < 0)
        return fail(QStringLiteral("%1 has no cross-reference table").arg(file->fileName()));
    int cursor = at + 9;
    m_startXref = readUnsigned(tail, cursor);
    // Tables newest first: an object keeps the place the newest one gives.
    std::unordered_set<qint64> visited;
    for (qint64 offset = m_startXref; offset >= 0;) {
        if (offset >= m_size || !visited.insert(offset).second)
            return fail(
                QStringLiteral("%1 has a broken cross-reference table").arg(file->fileName()));
        PdfValue trailer;
        if (!readSection(offset, &trailer))
            return fail(QStringLiteral("%1 has no classic cross-reference table at %2")
                            .arg(file->fileName())
                            .arg(offset));
        if (visited.size() == 1)
            m_trailer = trailer;
        const PdfValue *previous = trailer.find("/Prev");
        if (!previous)
            break;
        if (previous->kind != PdfValue::Kind::Number || !(previous->number >= 0) ||
            previous->number >= static_cast<double>(m_size))
            return fail(
                QStringLiteral("%1 has a broken cross-reference table").arg(file->fileName()));
        offset = static_cast<qint64>(previous->number);
    }
    const PdfValue *root = m_trailer.find("/Root");
    const PdfValue *size = m_trailer.find("/Size");
    // Object numbers of a PDF stay below 8,388,608.
    if (!root || root->kind != PdfValue::Kind::Reference || !size ||
        size->kind != PdfValue::Kind::Number || !(size->number >= 1) ||
        size->number > kMaxObjects || size->number != std::floor(size->number))
        return fail(
            QStringLiteral("%1 has a trailer without /Root or /Size").arg(file->fileName()));
    return true;
}

bool PdfObjectReader::readSection(qint64 offset, PdfValue *trailer)
{
    for (qint64 length = kFirstRead * 16;; length *= 4) {
        const QByteArray data = readAt(offset, length);
        const bool whole = offset + data.size() >= m_size;
        int at = 0;
        skipSpace(data, at);
        if (!startsWithWord(data, at, "xref"))
            return false;
        at += 4;
        bool ranOut = false;
        for (;;) {
            skipSpace(data, at);
            if (startsWithWord(data, at, "trailer")) {
                at += 7;
                *trailer = parsePdfValue(data, at, &ranOut);
                break;
            }
            const qint64 first = readUnsigned(data, at);
            const qint64 count = readUnsigned(data, at);
            if (first < 0 || count < 0 || first + count > INT_MAX) {
                ranOut = at >= data.size();
                break;
            }
            for (qint64 i = 0; i < count; ++i) {
                const qint64 place = readUnsigned(data, at);
                const qint64 generation = readUnsigned(data, at);
                skipSpace(data, at);
                if (place < 0 || generation < 0 || at >= data.size()) {
                    ranOut = at >= data.size();
                    break;
                }
                const char type = data[at++];
                if (type == 'n')
                    m_offsets.emplace(static_cast<int>(first + i),
                                      std::make_pair(place, static_cast<int>(generation)));
                else if (type != 'f')
                    return false;
            }
            if (ranOut)
                break;
        }
        if (ranOut && !whole)
            continue;
        return !ranOut && trailer->kind == PdfValue::Kind::Dictionary;
    }
}

PdfValue PdfObjectReader::object(int number) const
{
    const auto found = m_offsets.find(number);
    if (found == m_offsets.end())
        return {};
    const qint64 offset = found->second.first;
    for (qint64 length = kFirstRead;; length *= 4) {
        const QByteArray data = readAt(offset, length);
        const bool whole = offset + data.size() >= m_size;
        int at = 0;
        if (readUnsigned(data, at) != number || readUnsigned(data, at) != found->second.second)
            return {};
        skipSpace(data, at);
        if (!startsWithWord(data, at, "obj"))
            return {};
        at += 3;
        bool ranOut = false;
        PdfValue value = parsePdfValue(data, at, &ranOut);
        if (!ranOut || whole)
            return value;
    }
}

PdfValue PdfObjectReader::resolve(const PdfValue &value) const
{
    return value.kind == PdfValue::Kind::Reference ? object(value.object) : value;
}

QByteArray PdfObjectReader::readAt(qint64 offset, qint64 length) const
{
    if (!m_file || offset < 0 || offset >= m_size || !m_file->seek(offset))
        return {};
    return m_file->read(std::min(length, m_size - offset));
}

QByteArray pdfLiteralString(const QByteArray &bytes)
{
    QByteArray result = "(";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '(' || c == ')') {
            result += '\\';
            result += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            result += '\\';
            result += static_cast<char>('0' + (byte >> 6));
            result += static_cast<char>('0' + ((byte >> 3) & 7));
            result += static_cast<char>('0' + (byte & 7));
        } else {
            result += c;
        }
    }
    return result + ')';
}

QByteArray pdfTextString(const QString &text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7F;
    });
    if (plain)
        return pdfLiteralString(text.toLatin1());
    QByteArray units;
    for (const QChar c : text) {
        units += static_cast<char>(c.unicode() >> 8);
        units += static_cast<char>(c.unicode() & 0xFF);
    }
    return "<FEFF" + units.toHex().toUpper() + '>';
}

} // namespace quirex::engine
