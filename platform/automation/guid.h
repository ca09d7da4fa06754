#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace quirex::automation
{

// A 128-bit globally unique identifier (class, interface, type library and application ids).
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    // Reads "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (hex digits in either case, braces
    // required, no blanks). nullopt for anything else.
    static std::optional<Guid> fromString(const QString &text);

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with upper-case digits, as Windows writes it.
    QString toString() const;
    // The same without braces, as interface descriptions write it.
    QString toBareString() const;

    bool isNull() const { return *this == Guid(); }

    bool operator==(const Guid &other) const
    {
        return data1 == other.data1 && data2 == other.data2 && data3 == other.data3 &&
               data4 == other.data4;
    }
    bool operator!=(const Guid &other) const { return !(*this == other); }
};

inline uint qHash(const Guid &guid, uint seed = 0)
{
    return ::qHash(guid.toBareString(), seed);
}

} // namespace quirex::automation
