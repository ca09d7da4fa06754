#include "gadget.h"

#include "comerror.h"

#include <stdexcept>

void Gadget::Reset()
{
    m_count = 0;
    m_active = false;
    m_ratio = 0.0;
    m_title.clear();
}

void Gadget::Fail(const QString &message)
{
    throw quirex::automation::ComError(quirex::automation::E_INVALIDARG, message);
}

void Gadget::Crash()
{
    throw std::runtime_error("gadget crashed");
}
