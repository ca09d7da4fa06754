#include "registrydata.h"

#include <QTextCodec>

namespace quirex::platform
{

namespace
{

const char signature[] = "QuirexRegistry 1";
const QChar separator = QLatin1Char('\\');

QStringList components(const QString &path)
{
    return path.split(separator, Qt::SkipEmptyParts);
}

bool isUsableName(const QString &component)
{
    for (const QChar c : component) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return !component.isEmpty();
}

QString quote(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] (the opening quote); on success `pos` is past the
// closing quote.
std::optional<QString> unquote(const QString &line, int &pos)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return std::nullopt;
    QString out;
    for (int i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return std::nullopt;
        switch (line.at(i).unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '"':
            out += QLatin1Char('"');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'x': {
            if (i + 2 >= line.size())
                return std::nullopt;
            const int high = hexDigit(line.at(i + 1));
            const int low = hexDigit(line.at(i + 2));
            if (high < 0 || low < 0)
                return std::nullopt;
            out += QChar(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<RegistryValue> parseData(const QString &text)
{
    if (text.startsWith(QLatin1Char('"'))) {
        int pos = 0;
        const auto value = unquote(text, pos);
        if (!value || pos != text.size())
            return std::nullopt;
        return RegistryValue::fromString(*value);
    }
    const QLatin1String dword("dword:");
    if (!text.startsWith(dword))
        return std::nullopt;
    const QString digits = text.mid(dword.size());
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 number = 0;
    for (const QChar c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + quint32(digit);
    }
    return RegistryValue::fromInteger(qint32(number));
}

} // namespace

RegistryValue RegistryValue::fromString(const QString &text)
{
    RegistryValue value;
    value.m_type = Type::String;
    value.m_text = text;
    return value;
}

RegistryValue RegistryValue::fromInteger(qint32 number)
{
    RegistryValue value;
    value.m_type = Type::Integer;
    value.m_number = number;
    return value;
}

QString RegistryValue::toString() const
{
    return m_type == Type::String ? m_text : QString::number(m_number);
}

qint32 RegistryValue::toInteger() const
{
    if (m_type == Type::Integer)
        return m_number;
    bool ok = false;
    const qint32 number = m_text.trimmed().toInt(&ok);
    return ok ? number : 0;
}

bool RegistryValue::operator==(const RegistryValue &other) const
{
    if (m_type != other.m_type)
        return false;
    return m_type == Type::String ? m_text == other.m_text : m_number == other.m_number;
}

QString RegistryData::normalizedKey(const QString &path)
{
    return components(path).join(separator);
}

bool RegistryData::isValidKey(const QString &path)
{
    const QStringList parts = components(path);
    if (parts.isEmpty())
        return false;
    for (const QString &part : parts) {
        if (!isUsableName(part))
            return false;
    }
    return true;
}

RegistryData::Key *RegistryData::findKey(const QString &key)
{
    auto it = m_keys.find(normalizedKey(key).toLower());
    return it == m_keys.end() ? nullptr : &it.value();
}

const RegistryData::Key *RegistryData::findKey(const QString &key) const
{
    auto it = m_keys.constFind(normalizedKey(key).toLower());
    return it == m_keys.constEnd() ? nullptr : &it.value();
}

RegistryData::Key *RegistryData::ensureKey(const QString &key)
{
    if (!isValidKey(key))
        return nullptr;
    Key *current = nullptr;
    QString path;
    for (const QString &part : components(key)) {
        path = current ? current->path + separator + part : part;
        auto it = m_keys.find(path.toLower());
        if (it == m_keys.end())
            it = m_keys.insert(path.toLower(), Key{path, {}});
        current = &it.value();
    }
    return current;
}

bool RegistryData::keyExists(const QString &key) const
{
    return findKey(key) != nullptr;
}

std::optional<RegistryValue> RegistryData::value(const QString &key, const QString &name) const
{
    const Key *found = findKey(key);
    if (!found)
        return std::nullopt;
    auto it = found->values.constFind(name.toLower());
    if (it == found->values.constEnd())
        return std::nullopt;
    return it->value;
}

QStringList RegistryData::valueNames(const QString &key) const
{
    QStringList names;
    if (const Key *found = findKey(key)) {
        for (const NamedValue &value : found->values)
            names.append(value.name);
    }
    return names;
}

QStringList RegistryData::subKeys(const QString &key) const
{
    QStringList names;
    const QString normalized = normalizedKey(key);
    if (!normalized.isEmpty() && !findKey(normalized))
        return names;
    const QString prefix = normalized.isEmpty() ? QString() : normalized.toLower() + separator;
    for (auto it = m_keys.lowerBound(prefix); it != m_keys.end(); ++it) {
        if (!it.key().startsWith(prefix))
            break;
        const QString rest = it.key().mid(prefix.size());
        if (!rest.contains(separator))
            names.append(it->path.mid(prefix.size()));
    }
    return names;
}

bool RegistryData::createKey(const QString &key)
{
    return ensureKey(key) != nullptr;
}

bool RegistryData::setValue(const QString &key, const QString &name, const RegistryValue &value)
{
    Key *target = ensureKey(key);
    if (!target)
        return false;
    auto it = target->values.find(name.toLower());
    if (it == target->values.end())
        target->values.insert(name.toLower(), NamedValue{name, value});
    else
        it->value = value;
    return true;
}

bool RegistryData::removeValue(const QString &key, const QString &name)
{
    Key *target = findKey(key);
    return target && target->values.remove(name.toLower()) > 0;
}

bool RegistryData::removeKey(const QString &key)
{
    const QString normalized = normalizedKey(key).toLower();
    if (normalized.isEmpty() || !m_keys.contains(normalized))
        return false;
    m_keys.remove(normalized);
    const QString prefix = normalized + separator;
    auto it = m_keys.lowerBound(prefix);
    while (it != m_keys.end() && it.key().startsWith(prefix))
        it = m_keys.erase(it);
    return true;
}

QByteArray RegistryData::serialize() const
{
    QString out = QLatin1String(signature) + QLatin1Char('\n');
    for (auto it = m_keys.constBegin(); it != m_keys.constEnd(); ++it) {
        auto next = std::next(it);
        const bool hasSubKeys =
            next != m_keys.constEnd() && next.key().startsWith(it.key() + separator);
        if (hasSubKeys && it->values.isEmpty())
            continue;
        out += QLatin1String("\n[") + it->path + QLatin1String("]\n");
        for (const NamedValue &value : it->values) {
            out += value.name.isEmpty() ? QStringLiteral("@") : quote(value.name);
            out += QLatin1Char('=');
            if (value.value.type() == RegistryValue::Type::Integer)
                out += QStringLiteral("dword:%1")
                           .arg(quint32(value.value.toInteger()), 8, 16, QLatin1Char('0'));
            else
                out += quote(value.value.toString());
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

std::optional<RegistryData> RegistryData::parse(const QByteArray &text)
{
    QVector<int> badLines;
    RegistryData data = parseGoodLines(text, &badLines);
    if (!badLines.isEmpty())
        return std::nullopt;
    return data;
}

RegistryData RegistryData::parseGoodLines(const QByteArray &text, QVector<int> *badLines)
{
    QTextCodec *const utf8 = QTextCodec::codecForName("UTF-8");
    RegistryData data;
    bool signed_ = false;
    Key *current = nullptr;
    const QList<QByteArray> lines = text.split('\n');
    for (int index = 0; index < lines.size(); ++index) {
        const auto bad = [&] {
            if (badLines)
                badLines->append(index + 1);
        };
        const QByteArray &bytes = lines[index];
        QTextCodec::ConverterState state;
        // A file saved by an editor may begin with a byte-order mark; the codec drops it.
        QString line = utf8->toUnicode(bytes.constData(), bytes.size(), &state);
        if (state.invalidChars > 0 || state.remainingChars > 0) {
            bad();
            continue;
        }
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (!signed_) {
            // Whatever the first line is, the lines after it are read.
            signed_ = true;
            if (trimmed != QLatin1String(signature))
                bad();
            continue;
        }
        if (trimmed.startsWith(QLatin1Char('['))) {
            // The values below a header that cannot be read belong to no key.
            current = trimmed.endsWith(QLatin1Char(']'))
                          ? data.ensureKey(trimmed.mid(1, trimmed.size() - 2))
                          : nullptr;
            if (!current)
                bad();
            continue;
        }
        if (!current) {
            bad();
            continue;
        }
        QString name;
        int pos = 0;
        if (trimmed.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else {
            const auto quoted = unquote(trimmed, pos);
            if (!quoted) {
                bad();
                continue;
            }
            name = *quoted;
        }
        const auto value = pos < trimmed.size() && trimmed.at(pos) == QLatin1Char('=')
                               ? parseData(trimmed.mid(pos + 1))
                               : std::nullopt;
        if (!value) {
            bad();
            continue;
        }
        current->values.insert(name.toLower(), NamedValue{name, *value});
    }
    return data;
}

bool RegistryData::operator==(const RegistryData &other) const
{
    return serialize() == other.serialize();
}

} // namespace quirex::platform
