#pragma once

#include "hresult.h"

#include <QString>
#include <QVector>

#include <cstdint>

namespace quirex::automation
{

// The variant types that cross the dispatch interface, numbered as Windows numbers them.
enum class VarType : std::uint16_t { Empty = 0, I4 = 3, R8 = 5, BStr = 8, Bool = 11 };

// Automation booleans are 16-bit: true is -1, false is 0.
inline constexpr std::int16_t VARIANT_TRUE = -1;
inline constexpr std::int16_t VARIANT_FALSE = 0;

// A value crossing the dispatch interface: empty, 32-bit integer, automation boolean, double, or
// text (a BSTR, UTF-16).
class Variant final
{
public:
    Variant() = default;
    explicit Variant(std::int32_t number);
    explicit Variant(bool flag);
    explicit Variant(double number);
    explicit Variant(const QString &text);
    explicit Variant(const char *) = delete; // would silently become a bool

    VarType type() const { return m_type; }
    bool isEmpty() const { return m_type == VarType::Empty; }

    // The stored value; 0, false, 0.0 or empty text when the variant holds another type
    // (use changeType to convert).
    std::int32_t toInt() const { return m_type == VarType::I4 ? m_int : 0; }
    bool toBool() const { return m_type == VarType::Bool && m_bool != VARIANT_FALSE; }
    std::int16_t toVariantBool() const { return m_type == VarType::Bool ? m_bool : VARIANT_FALSE; }
    double toDouble() const { return m_type == VarType::R8 ? m_double : 0.0; }
    QString toString() const { return m_type == VarType::BStr ? m_text : QString(); }

    // Converts the value to `target` as automation converts arguments:
    // - to I4: booleans give -1/0, doubles are rounded half to even, text is read as a number
    //   (blanks around it allowed);
    // - to Bool: numbers are true when not zero, text is "true"/"false" (any case) or a number;
    // - to R8: booleans give -1.0/0.0, text is read as a number (C locale);
    // - to BStr: decimal integers, "true"/"false", the shortest text that reads back as the same
    //   double;
    // - Empty converts to 0, false, 0.0 or empty text.
    // Returns S_OK and sets `out`, or DISP_E_TYPEMISMATCH (text that is not a number, a target of
    // Empty) or DISP_E_OVERFLOW (a number out of the target's range); `out` is then unchanged.
    HRESULT changeType(VarType target, Variant *out) const;

    bool operator==(const Variant &other) const;
    bool operator!=(const Variant &other) const { return !(*this == other); }

private:
    VarType m_type = VarType::Empty;
    std::int32_t m_int = 0;
    std::int16_t m_bool = VARIANT_FALSE;
    double m_double = 0.0;
    QString m_text;
};

using VariantList = QVector<Variant>;

// A double as the shortest text that reads back as the same double ("0.1", "1e+20", "3").
QString shortestDoubleText(double number);

} // namespace quirex::automation
