#include "variant.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace quirex::automation
{

namespace
{

// Reads a whole text as a number, as the C locale writes it; blanks around it are allowed.
HRESULT parseNumber(const QString &text, double *out)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return DISP_E_TYPEMISMATCH;
    for (const QChar c : trimmed) {
        // QString::toDouble also accepts "inf" and "nan"; automation does not.
        if (c.isLetter() && c != QLatin1Char('e') && c != QLatin1Char('E'))
            return DISP_E_TYPEMISMATCH;
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) {
        // Out of range reads as not ok with an infinite result in Qt; tell the two apart.
        const double unchecked = trimmed.toDouble();
        if (std::isinf(unchecked))
            return DISP_E_OVERFLOW;
        return DISP_E_TYPEMISMATCH;
    }
    if (!std::isfinite(number))
        return DISP_E_OVERFLOW;
    *out = number;
    return S_OK;
}

HRESULT doubleToInt(double number, std::int32_t *out)
{
    const double rounded = std::nearbyint(number); // round half to even
    if (!(rounded >= double(std::numeric_limits<std::int32_t>::min()) &&
          rounded <= double(std::numeric_limits<std::int32_t>::max())))
        return DISP_E_OVERFLOW;
    *out = std::int32_t(rounded);
    return S_OK;
}

} // namespace

Variant::Variant(std::int32_t number)
    : m_type(VarType::I4)
    , m_int(number)
{
}

Variant::Variant(bool flag)
    : m_type(VarType::Bool)
    , m_bool(flag ? VARIANT_TRUE : VARIANT_FALSE)
{
}

Variant::Variant(double number)
    : m_type(VarType::R8)
    , m_double(number)
{
}

Variant::Variant(const QString &text)
    : m_type(VarType::BStr)
    , m_text(text)
{
}

QString shortestDoubleText(double number)
{
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

HRESULT Variant::changeType(VarType target, Variant *out) const
{
    if (target == m_type) {
        *out = *this;
        return S_OK;
    }
    switch (target) {
    case VarType::I4: {
        std::int32_t number = 0;
        HRESULT hr = S_OK;
        if (m_type == VarType::Bool) {
            number = m_bool != VARIANT_FALSE ? -1 : 0;
        } else if (m_type == VarType::R8) {
            hr = doubleToInt(m_double, &number);
        } else if (m_type == VarType::BStr) {
            double parsed = 0;
            hr = parseNumber(m_text, &parsed);
            if (SUCCEEDED(hr))
                hr = doubleToInt(parsed, &number);
        }
        if (SUCCEEDED(hr))
            *out = Variant(number);
        return hr;
    }
    case VarType::Bool: {
        bool flag = false;
        if (m_type == VarType::I4) {
            flag = m_int != 0;
        } else if (m_type == VarType::R8) {
            flag = m_double != 0.0;
        } else if (m_type == VarType::BStr) {
            const QString trimmed = m_text.trimmed();
            if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
                flag = true;
            } else if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0) {
                double parsed = 0;
                const HRESULT hr = parseNumber(m_text, &parsed);
                if (FAILED(hr))
                    return hr;
                flag = parsed != 0.0;
            }
        }
        *out = Variant(flag);
        return S_OK;
    }
    case VarType::R8: {
        double number = 0.0;
        if (m_type == VarType::I4) {
            number = m_int;
        } else if (m_type == VarType::Bool) {
            number = m_bool != VARIANT_FALSE ? -1.0 : 0.0;
        } else if (m_type == VarType::BStr) {
            const HRESULT hr = parseNumber(m_text, &number);
            if (FAILED(hr))
                return hr;
        }
        *out = Variant(number);
        return S_OK;
    }
    case VarType::BStr: {
        QString text;
        if (m_type == VarType::I4)
            text = QString::number(m_int);
        else if (m_type == VarType::Bool)
            text = m_bool != VARIANT_FALSE ? QStringLiteral("true") : QStringLiteral("false");
        else if (m_type == VarType::R8)
            text = shortestDoubleText(m_double);
        *out = Variant(text);
        return S_OK;
    }
    case VarType::Empty:
        break;
    }
    return DISP_E_TYPEMISMATCH;
}

bool Variant::operator==(const Variant &other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case VarType::Empty:
        return true;
    case VarType::I4:
        return m_int == other.m_int;
    case VarType::Bool:
        return (m_bool != VARIANT_FALSE) == (other.m_bool != VARIANT_FALSE);
    case VarType::R8:
        return m_double == other.m_double;
    case VarType::BStr:
        return m_text == other.m_text;
    }
    return false;
}

} // namespace quirex::automation
