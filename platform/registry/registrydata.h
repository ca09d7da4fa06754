#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace quirex::platform
{

// One value stored under a registry key: text or a 32-bit integer.
class RegistryValue final
{
public:
    enum class Type { String, Integer };

    RegistryValue() = default;
    static RegistryValue fromString(const QString &text);
    static RegistryValue fromInteger(qint32 number);

    Type type() const { return m_type; }
    // The text of a string value; an integer value as decimal text.
    QString toString() const;
    // The number of an integer value; a string value as a decimal number, 0 when it is none.
    qint32 toInteger() const;

    bool operator==(const RegistryValue &other) const;
    bool operator!=(const RegistryValue &other) const { return !(*this == other); }

private:
    Type m_type = Type::String;
    QString m_text;
    qint32 m_number = 0;
};

// The tree of keys of the per-user registry, held in memory.
//
// Key paths are backslash-separated ("Software\Classes\CLSID"); empty components are ignored,
// so "\A\\B\" names the same key as "A\B". Key and value names compare case-insensitively and keep
// the case they were created with. The default value of a key has the empty name. Creating a key
// creates its parents. Key names may not contain control characters; the root key (empty path)
// holds no values.
class RegistryData final
{
public:
    // The path with empty components removed; empty for the root.
    static QString normalizedKey(const QString &path);
    // True when every component of the path is a usable key name and the path is not the root.
    static bool isValidKey(const QString &path);

    bool isEmpty() const { return m_keys.isEmpty(); }
    bool keyExists(const QString &key) const;
    std::optional<RegistryValue> value(const QString &key, const QString &name) const;
    // Names of the values of `key` and of its direct subkeys, in the case they were created with;
    // empty when the key does not exist.
    QStringList valueNames(const QString &key) const;
    QStringList subKeys(const QString &key) const;

    // These return false, changing nothing, for an invalid key (see isValidKey) or a missing key
    // or value to remove.
    bool createKey(const QString &key);
    bool setValue(const QString &key, const QString &name, const RegistryValue &value);
    bool removeValue(const QString &key, const QString &name);
    // Removes the key with all its subkeys and values.
    bool removeKey(const QString &key);

    // The file form: a signature line, then one "[key]" section per key that has values or no
    // subkeys, each followed by its values as `@="text"` (default value), `"name"="text"` or
    // `"name"=dword:0000002a`. Quoted text escapes \\, \", \n, \r, \t and other control
    // characters as \xHH. The text is UTF-8.
    QByteArray serialize() const;
    // Reads the file form. An empty (or blank) text gives an empty tree; anything that is not
    // exactly the file form (no signature, a bad line, invalid UTF-8) gives nullopt.
    static std::optional<RegistryData> parse(const QByteArray &text);
    // Reads every line of the file form that can be read and skips the others: a line that is
    // not valid UTF-8 or not of the form, a missing signature, the values below a header that
    // cannot be read. `badLines` gets the 1-based numbers of the lines skipped.
    static RegistryData parseGoodLines(const QByteArray &text, QVector<int> *badLines);

    bool operator==(const RegistryData &other) const;

private:
    struct NamedValue {
        QString name;
        RegistryValue value;
    };
    struct Key {
        QString path;
        QMap<QString, NamedValue> values; // by lower-case name
    };

    Key *findKey(const QString &key);
    const Key *findKey(const QString &key) const;
    Key *ensureKey(const QString &key);

    QMap<QString, Key> m_keys; // by lower-case normalized path
};

} // namespace quirex::platform
